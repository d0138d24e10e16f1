#include "crypto/platform/crl_context_p.h"

#include "crypto/platform/asn1_util_p.h"
#include "crypto/platform/cert_context_p.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/openssl_access.h"
#include "crypto/platform/openssl_init.h"

#include <openssl/err.h>

#include <ctime>

namespace nxcrypto {
namespace csp {

std::shared_ptr<const CrlData> parseCrlData(const uint8_t* der, size_t size)
{
    return parseDerObject<X509_CRL>(der, size, d2i_X509_CRL);
}

CrlContext* newCrlContext(const CrlEntry& entry) { return new CrlContext(entry); }

CrlContext* createCrlContext(const uint8_t* der, size_t size)
{
    auto data = parseCrlData(der, size);
    if (!data)
        return nullptr;
    return newCrlContext(CrlEntry{data, {}, {}});
}

CrlContext* duplicateCrlContext(const CrlContext* context) { return duplicateStoreContext(context); }

bool freeCrlContext(const CrlContext* context) { return freeStoreContext(context); }

const std::vector<uint8_t>& crlEncoded(const CrlContext* context) { return context->data->der; }

std::vector<uint8_t> crlIssuerName(const CrlContext* context)
{
    unsigned char* out = nullptr;
    const int length = i2d_X509_NAME(X509_CRL_get_issuer(context->data->object.get()), &out);
    if (length <= 0)
        return {};
    std::vector<uint8_t> bytes(out, out + length);
    OPENSSL_free(out);
    return bytes;
}

int64_t crlThisUpdate(const CrlContext* context)
{
    return asn1TimeOrZero(X509_CRL_get0_lastUpdate(context->data->object.get()));
}

int64_t crlNextUpdate(const CrlContext* context)
{
    return asn1TimeOrZero(X509_CRL_get0_nextUpdate(context->data->object.get()));
}

std::vector<uint8_t> crlSha1Thumbprint(const CrlContext* context) { return context->data->sha1; }

X509_CRL* crlX509(const CrlContext* context) { return context ? context->data->object.get() : nullptr; }

} // namespace csp
} // namespace nxcrypto
