#include "crypto/platform/tls_session_key.h"

#include <openssl/evp.h>

namespace nxcrypto {
namespace csp {

namespace {

void addCertificate(EVP_MD_CTX* digest, const X509* certificate)
{
    unsigned char fingerprint[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (X509_digest(certificate, EVP_sha256(), fingerprint, &size))
        EVP_DigestUpdate(digest, fingerprint, size);
}

} // namespace

std::string tlsSessionKey(const TlsClientConfig& config, const X509* clientCertificate)
{
    EvpMdCtxPtr digest(EVP_MD_CTX_new());
    if (!digest || !EVP_DigestInit_ex(digest.get(), EVP_sha256(), nullptr))
        return {}; // no key: no resumption
    for (const X509Ptr& anchor : config.trustAnchors)
        addCertificate(digest.get(), anchor.get());
    EVP_DigestUpdate(digest.get(), "|", 1);
    for (const X509Ptr& intermediate : config.intermediates)
        addCertificate(digest.get(), intermediate.get());
    EVP_DigestUpdate(digest.get(), "|", 1);
    if (clientCertificate)
        addCertificate(digest.get(), clientCertificate);
    unsigned char value[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!EVP_DigestFinal_ex(digest.get(), value, &size))
        return {};
    return config.serverName + '\n' + std::string(reinterpret_cast<const char*>(value), size);
}

} // namespace csp
} // namespace nxcrypto
