#include "forwarding/portal_stream.h"

#include "forwarding/data_stream_buffer.h"
#include "forwarding/http_stream.h"
#include "forwarding/portal_unavailable.h"
#include "forwarding/socket_stream.h"

#include "crypto/engine/crypto_engine.h"
#include "crypto/records/tls_failure.h"

#include <Poco/Exception.h>

namespace tessel {

// Members are released in reverse order: the buffer first, the socket last.
struct PortalStream::Connection
{
    QSharedPointer<nxcrypto::CryptoEngine> engine;
    QSharedPointer<SocketStream> socket;
    QSharedPointer<nxcrypto::DataStream> tls;
    QSharedPointer<HttpStream> http;
    QSharedPointer<DataStreamBuffer> buffer;
};

PortalStream::PortalStream() : std::iostream(nullptr) {}

PortalStream::~PortalStream() = default;

void PortalStream::open(const QString& portal, const QString& host, quint16 port, std::chrono::seconds timeout,
                        const QSharedPointer<nxcrypto::CryptoEngine>& tlsEngine)
{
    auto connection = QSharedPointer<Connection>::create();
    connection->engine = tlsEngine;
    connection->socket = QSharedPointer<SocketStream>::create();
    try {
        connection->socket->connect(host, port, timeout);
    } catch (const Poco::Exception& e) {
        throw PortalUnavailable(PortalUnavailable::causeOf(e), portal, QString::fromStdString(e.displayText()));
    }
    if (tlsEngine) {
        connection->tls = tlsEngine->createTlsStream(connection->socket);
        const auto* failure = dynamic_cast<const nxcrypto::TlsFailure*>(connection->tls.data());
        if (failure && !failure->failureReason().isEmpty()) {
            throw PortalUnavailable(connection->socket->timedOut() ? PortalUnavailable::Cause::TimedOut
                                    : failure->serverCertificateRefused() ? PortalUnavailable::Cause::Untrusted
                                                                          : PortalUnavailable::Cause::Unreachable,
                                    portal, failure->failureReason());
        }
    }
    connection->http = QSharedPointer<HttpStream>::create(tlsEngine ? connection->tls : connection->socket);
    connection->buffer = QSharedPointer<DataStreamBuffer>::create(connection->http);
    rdbuf(connection->buffer.data());
    m_connection = connection;
}

bool PortalStream::timedOut() const
{
    return m_connection && m_connection->socket->timedOut();
}

} // namespace tessel
