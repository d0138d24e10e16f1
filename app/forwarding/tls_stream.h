#pragma once

#include <QSharedPointer>
#include <QString>

#include <iostream>

namespace nxcrypto {
class CryptoEngine;
}

namespace tessel {

// An input/output stream to the portal over the crypto engine's TLS client; reads end where
// the HTTP response ends. Destroying it closes the connection.
class TlsStream : public std::iostream
{
public:
    TlsStream();
    ~TlsStream() override;

    // Connects and performs the handshake; throws on failure, ClientAuthNeeded among others.
    void open(const QSharedPointer<nxcrypto::CryptoEngine>& engine, const QString& host, quint16 port);

private:
    struct Connection;
    QSharedPointer<Connection> m_connection;
};

} // namespace tessel
