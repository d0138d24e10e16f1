#include "crypto/engine/crypto_pro_csp_engine.h"

#include "crypto/engine/crypto_pro_csp_engine_p.h"
#include "crypto/engine/tls_data_stream_impl.h"
#include "crypto/engine/tls_data_stream_impl_p.h"
#include "crypto/platform/tls_session_key.h"
#include "crypto/records/tls_server_name.h"

namespace nxcrypto {

namespace {

QString serverNameOf(const QSharedPointer<DataStream>& transport)
{
    const auto* named = dynamic_cast<const TlsServerName*>(transport.data());
    return named ? named->tlsServerName() : QString();
}

} // namespace

QSharedPointer<DataStream> CryptoProCSPEngine::createTlsStream(const QSharedPointer<DataStream>& transport)
{
    csp::TlsClientConfig config;
    config.trustAnchors = d->rootStoreCertificates();
    config.intermediates = d->caStoreCertificates();
    config.serverName = serverNameOf(transport).toStdString();
    csp::X509Ptr clientCertificate;
    if (d->passwordSet) {
        clientCertificate = d->keyCertificateX509();
        // The stream may outlive this engine object; the private part stays with it.
        const QSharedPointer<CryptoProCSPEnginePrivate> engine = d;
        config.clientCredentials = [engine] {
            return csp::TlsClientCredentials{engine->keyCertificateX509(), engine->keyPrivateKey()};
        };
    } else {
        config.clientCredentials = []() -> csp::TlsClientCredentials { throw ClientAuthNeeded(); };
    }
    config.sessionKey = csp::tlsSessionKey(config, clientCertificate.get());

    const auto stream = QSharedPointer<csp::TlsDataStreamImpl>::create(
        std::make_unique<csp::TlsDataStreamImplPrivate>(std::move(config)));
    // A failed handshake leaves a stream that fails on first use; the log says why.
    stream->connect(transport);
    return stream;
}

} // namespace nxcrypto
