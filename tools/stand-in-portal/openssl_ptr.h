#pragma once

#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <memory>

namespace standin {

// Owning pointers for the OpenSSL objects the portal keeps.
struct OpenSslFree {
    void operator()(SSL_CTX* p) const { SSL_CTX_free(p); }
    void operator()(SSL* p) const { SSL_free(p); }
    void operator()(EVP_MD_CTX* p) const { EVP_MD_CTX_free(p); }
    void operator()(BIO* p) const { BIO_free(p); }
};

using SslCtxPtr = std::unique_ptr<SSL_CTX, OpenSslFree>;
using SslPtr = std::unique_ptr<SSL, OpenSslFree>;
using EvpMdCtxPtr = std::unique_ptr<EVP_MD_CTX, OpenSslFree>;
using BioPtr = std::unique_ptr<BIO, OpenSslFree>;

} // namespace standin
