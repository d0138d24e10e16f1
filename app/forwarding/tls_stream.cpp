#include "forwarding/tls_stream.h"

#include "forwarding/data_stream_buffer.h"
#include "forwarding/http_stream.h"
#include "forwarding/socket_stream.h"
#include "interfaces/app_config.h"

#include "crypto/engine/crypto_engine.h"

namespace tessel {

// Members are released in reverse order: the buffer first, the socket last.
struct TlsStream::Connection
{
    QSharedPointer<nxcrypto::CryptoEngine> engine;
    QSharedPointer<SocketStream> socket;
    QSharedPointer<nxcrypto::DataStream> tls;
    QSharedPointer<HttpStream> http;
    QSharedPointer<DataStreamBuffer> buffer;
};

TlsStream::TlsStream() : std::iostream(nullptr) {}

TlsStream::~TlsStream() = default;

void TlsStream::open(const QSharedPointer<nxcrypto::CryptoEngine>& engine, const QString& host, quint16 port)
{
    auto connection = QSharedPointer<Connection>::create();
    connection->engine = engine;
    connection->socket = QSharedPointer<SocketStream>::create();
    connection->socket->connect(host, port, AppConfig::instance()->networkTimeout());
    connection->tls = engine->createTlsStream(connection->socket);
    connection->http = QSharedPointer<HttpStream>::create(connection->tls);
    connection->buffer = QSharedPointer<DataStreamBuffer>::create(connection->http);
    rdbuf(connection->buffer.data());
    m_connection = connection;
}

} // namespace tessel
