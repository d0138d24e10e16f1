#pragma once

#include "crypto/platform/openssl_ptr.h"

#include <functional>
#include <string>
#include <vector>

namespace nxcrypto {
namespace csp {

// The certificate and key a TLS client presents when the server asks for one.
struct TlsClientCredentials
{
    X509Ptr certificate;
    EvpPkeyPtr privateKey;
};

// What one TLS client connection trusts, whom it expects and who it is.
struct TlsClientConfig
{
    // Certificates the server's chain may end in.
    std::vector<X509Ptr> trustAnchors;
    // Issuers that may complete a chain the server sends incomplete; never trusted themselves.
    std::vector<X509Ptr> intermediates;
    // Host name or IP address the server certificate must name (also sent as SNI for names).
    std::string serverName;
    // Called only when the server sends a CertificateRequest, at most once a connection; its
    // exceptions leave the handshake. Without it the client answers with no certificate.
    std::function<TlsClientCredentials()> clientCredentials;
    // Sessions are resumed only between connections with the same non-empty key, which must
    // name the server, the trust and the client identity the session was made with.
    std::string sessionKey;
};

} // namespace csp
} // namespace nxcrypto
