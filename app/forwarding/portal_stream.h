#pragma once

#include <QSharedPointer>
#include <QString>

#include <chrono>
#include <iostream>

namespace nxcrypto {
class CryptoEngine;
}

namespace tessel {

// An input/output stream to the portal, over the crypto engine's TLS client or plain TCP; reads
// end where the HTTP response ends. Destroying it closes the connection.
class PortalStream : public std::iostream
{
public:
    PortalStream();
    ~PortalStream() override;

    // Connects and, with an engine, performs the TLS handshake. Throws nxcrypto::ClientAuthNeeded
    // when the server asks for the certificate of a locked key, PortalUnavailable (naming portal)
    // when it cannot be reached. Every wait on the socket ends after timeout.
    void open(const QString& portal, const QString& host, quint16 port, std::chrono::seconds timeout,
              const QSharedPointer<nxcrypto::CryptoEngine>& tlsEngine);
    // The last wait on the socket ended with no byte.
    bool timedOut() const;

private:
    struct Connection;
    QSharedPointer<Connection> m_connection;
};

} // namespace tessel
