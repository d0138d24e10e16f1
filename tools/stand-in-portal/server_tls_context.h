#pragma once

#include "crypto/platform/tls_ssl_ptr.h"
#include "portal_options.h"

namespace standin {

// The TLS 1.2 GOST server configuration shared by all connections.
class ServerTlsContext {
public:
    // Throws std::runtime_error naming the file or setting that failed.
    explicit ServerTlsContext(const PortalOptions& options);

    SSL_CTX* get() const { return context_.get(); }

private:
    void loadTrust(const std::filesystem::path& caBundle, ClientAuth clientAuth);
    void loadCertificate(const ServerCertificate& certificate);

    nxcrypto::csp::SslCtxPtr context_;
};

} // namespace standin
