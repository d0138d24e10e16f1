#pragma once

#include "crypto/platform/tls_client_config.h"
#include "crypto/platform/tls_ssl_ptr.h"

#include <memory>

namespace nxcrypto {
namespace csp {

// The OpenSSL client settings of one connection: TLS 1.2 with the GOST suites, the server
// chain checked against the configured trust, and the client certificate supplied through
// a callback only when the server asks for one.
class TlsClientContext
{
public:
    using ClientCertificateCallback = int (*)(SSL* ssl, X509** certificate, EVP_PKEY** key);

    // Null with the last error set when OpenSSL refuses the settings.
    static std::unique_ptr<TlsClientContext> create(const TlsClientConfig& config, ClientCertificateCallback callback);

    SSL_CTX* get() const { return context_.get(); }

private:
    TlsClientContext() = default;
    bool configure(const TlsClientConfig& config, ClientCertificateCallback callback);
    static int verifyServerChain(X509_STORE_CTX* storeContext, void* self);

    SslCtxPtr context_;
    X509StackPtr intermediates_;
};

} // namespace csp
} // namespace nxcrypto
