#include "forwarding/socket_stream.h"

#include <Poco/Exception.h>
#include <Poco/Net/DNS.h>
#include <Poco/Net/HostEntry.h>
#include <Poco/Net/NetException.h>
#include <Poco/Net/SocketAddress.h>

#include <algorithm>
#include <memory>

namespace tessel {
namespace {

// One receive never needs more; larger requests would only allocate.
constexpr qint64 maxBlock = 1 << 20;

} // namespace

SocketStream::SocketStream() = default;

void SocketStream::connect(const QString& host, quint16 port, std::chrono::seconds timeout)
{
    const Poco::Timespan wait(static_cast<long>(timeout.count()), 0);
    const Poco::Net::HostEntry entry = Poco::Net::DNS::resolve(host.toUtf8().toStdString());
    std::unique_ptr<Poco::Exception> lastError;
    for (const Poco::Net::IPAddress& address : entry.addresses()) {
        try {
            // A fresh socket per attempt: a failed connect leaves the old one unusable.
            Poco::Net::StreamSocket socket;
            socket.connect(Poco::Net::SocketAddress(address, port), wait);
            socket.setReceiveTimeout(wait);
            socket.setSendTimeout(wait);
            // Handshake messages and the request go out as several small writes in a row;
            // waiting for each one's acknowledgement would add a round of delayed ACKs.
            socket.setNoDelay(true);
            m_socket = socket;
            m_host = host;
            return;
        } catch (const Poco::Exception& e) {
            lastError.reset(e.clone());
        }
    }
    if (lastError)
        lastError->rethrow();
    throw Poco::Net::HostNotFoundException(host.toUtf8().toStdString());
}

qint64 SocketStream::write(const QByteArray& data)
{
    // A TLS record cut short on the wire cannot be completed later, so send it whole.
    qint64 sent = 0;
    try {
        while (sent < data.size()) {
            const int count = m_socket.sendBytes(data.constData() + sent, static_cast<int>(data.size() - sent));
            if (count <= 0)
                return -1;
            sent += count;
        }
    } catch (const Poco::Exception&) {
        return -1;
    }
    return sent;
}

QByteArray SocketStream::read(qint64 maxSize)
{
    if (maxSize <= 0)
        return QByteArray();
    QByteArray block(static_cast<int>(std::min(maxSize, maxBlock)), Qt::Uninitialized);
    try {
        const int count = m_socket.receiveBytes(block.data(), block.size());
        if (count <= 0)
            return QByteArray();
        block.truncate(count);
        return block;
    } catch (const Poco::TimeoutException&) {
        m_timedOut = true;
        return QByteArray();
    } catch (const Poco::Exception&) {
        return QByteArray(); // reset: the response ends here
    }
}

} // namespace tessel
