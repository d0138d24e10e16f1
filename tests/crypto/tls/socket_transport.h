#pragma once

#include "crypto/records/data_stream.h"
#include "crypto/records/tls_server_name.h"

#include <Poco/Net/StreamSocket.h>

#include <QByteArray>
#include <QString>

#include <vector>

// A TCP connection to 127.0.0.1 as the TLS stream's transport, naming the server as the
// test says; it keeps what it wrote and can hand out its input in small pieces.
class SocketTransport : public nxcrypto::DataStream, public nxcrypto::TlsServerName
{
public:
    SocketTransport(unsigned short port, const QString& serverName, qint64 maxReadPiece = 1 << 30);

    qint64 write(const QByteArray& data) override;
    QByteArray read(qint64 maxSize) override;
    QString tlsServerName() const override { return serverName_; }

    // Every block written, in order.
    const std::vector<QByteArray>& writes() const { return writes_; }
    int readCount() const { return readCount_; }

private:
    Poco::Net::StreamSocket socket_;
    QString serverName_;
    qint64 maxReadPiece_;
    std::vector<QByteArray> writes_;
    int readCount_ = 0;
};
