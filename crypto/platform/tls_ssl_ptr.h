#pragma once

// Owning pointers for the TLS objects of the layer's TLS client. Internal to the crypto
// library: the application never includes OpenSSL headers.

#include <openssl/ssl.h>

#include <memory>

namespace nxcrypto {
namespace csp {

struct TlsDeleter
{
    void operator()(SSL_CTX* p) const { SSL_CTX_free(p); }
    void operator()(SSL* p) const { SSL_free(p); }
    void operator()(SSL_SESSION* p) const { SSL_SESSION_free(p); }
};

using SslCtxPtr = std::unique_ptr<SSL_CTX, TlsDeleter>;
using SslPtr = std::unique_ptr<SSL, TlsDeleter>;
using SslSessionPtr = std::unique_ptr<SSL_SESSION, TlsDeleter>;

} // namespace csp
} // namespace nxcrypto
