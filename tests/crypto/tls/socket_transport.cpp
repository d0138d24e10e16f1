#include "socket_transport.h"

#include <Poco/Net/NetException.h>
#include <Poco/Net/SocketAddress.h>

#include <algorithm>

SocketTransport::SocketTransport(unsigned short port, const QString& serverName, qint64 maxReadPiece)
    : socket_(Poco::Net::SocketAddress("127.0.0.1", port)), serverName_(serverName), maxReadPiece_(maxReadPiece)
{
    socket_.setReceiveTimeout(Poco::Timespan(30, 0));
    socket_.setSendTimeout(Poco::Timespan(30, 0));
}

qint64 SocketTransport::write(const QByteArray& data)
{
    writes_.push_back(data);
    try {
        return socket_.sendBytes(data.constData(), data.size());
    } catch (const Poco::Exception&) {
        return -1;
    }
}

QByteArray SocketTransport::read(qint64 maxSize)
{
    ++readCount_;
    QByteArray buffer(static_cast<int>(std::min(maxSize, maxReadPiece_)), Qt::Uninitialized);
    try {
        const int received = socket_.receiveBytes(buffer.data(), buffer.size());
        buffer.resize(std::max(received, 0));
    } catch (const Poco::Exception&) {
        buffer.clear(); // time-out or reset: the end of this transport
    }
    return buffer;
}
