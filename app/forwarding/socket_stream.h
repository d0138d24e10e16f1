#pragma once

#include "crypto/records/data_stream.h"
#include "crypto/records/tls_server_name.h"

#include <Poco/Net/StreamSocket.h>

#include <QString>

#include <chrono>

namespace tessel {

// A DataStream over one TCP connection: the transport under the portal's TLS stream. It names
// the host it was opened on, which the TLS client checks the server's certificate against.
class SocketStream : public nxcrypto::DataStream, public nxcrypto::TlsServerName
{
public:
    SocketStream();

    // Tries each address the host resolves to; throws the last error when none connects.
    // Every later send and receive waits at most timeout.
    void connect(const QString& host, quint16 port, std::chrono::seconds timeout);

    // Sends the whole block (several send calls when the socket takes it in parts); -1 on failure.
    qint64 write(const QByteArray& data) override;
    // One receive; empty when the peer closed, on an error and when the time-out expired.
    QByteArray read(qint64 maxSize) override;

    QString tlsServerName() const override { return m_host; }
    // The last receive ended because the time-out expired.
    bool timedOut() const { return m_timedOut; }

private:
    Poco::Net::StreamSocket m_socket;
    QString m_host;
    bool m_timedOut = false;
};

} // namespace tessel
