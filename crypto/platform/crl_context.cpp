#include "crypto/platform/crl_context_p.h"

#include "crypto/platform/cert_context_p.h"
#include "crypto/platform/asn1_util_p.h"
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
    initOpenSsl();
    if (!der || size == 0)
        return fail(err::kCryptEAsn1Eod, nullptr);
    const unsigned char* cursor = der;
    X509CrlPtr crl(d2i_X509_CRL(nullptr, &cursor, static_cast<long>(size)));
    if (!crl) {
        ERR_clear_error();
        return fail(err::kCryptEAsn1BadTag, nullptr);
    }
    auto data = std::make_shared<CrlData>();
    data->der.assign(der, cursor);
    data->sha1 = sha1Of(data->der);
    data->crl = std::move(crl);
    return data;
}

CrlContext* newCrlContext(const CrlEntry& entry)
{
    auto* context = new CrlContext;
    context->data = entry.data;
    context->origin = entry.origin.lock();
    context->path = entry.path;
    return context;
}

CrlContext* createCrlContext(const uint8_t* der, size_t size)
{
    auto data = parseCrlData(der, size);
    if (!data)
        return nullptr;
    return newCrlContext(CrlEntry{data, {}, {}});
}

CrlContext* duplicateCrlContext(const CrlContext* context)
{
    if (!context)
        return fail(err::kEInvalidArg, nullptr);
    auto* mutableContext = const_cast<CrlContext*>(context);
    mutableContext->references.fetch_add(1);
    return mutableContext;
}

bool freeCrlContext(const CrlContext* context)
{
    if (!context)
        return true;
    auto* mutableContext = const_cast<CrlContext*>(context);
    if (mutableContext->references.fetch_sub(1) == 1)
        delete mutableContext;
    return true;
}

const std::vector<uint8_t>& crlEncoded(const CrlContext* context)
{
    return context->data->der;
}

std::vector<uint8_t> crlIssuerName(const CrlContext* context)
{
    unsigned char* out = nullptr;
    const int length = i2d_X509_NAME(X509_CRL_get_issuer(context->data->crl.get()), &out);
    if (length <= 0)
        return {};
    std::vector<uint8_t> bytes(out, out + length);
    OPENSSL_free(out);
    return bytes;
}

int64_t crlThisUpdate(const CrlContext* context)
{
    return asn1TimeOrZero(X509_CRL_get0_lastUpdate(context->data->crl.get()));
}

int64_t crlNextUpdate(const CrlContext* context)
{
    return asn1TimeOrZero(X509_CRL_get0_nextUpdate(context->data->crl.get()));
}

std::vector<uint8_t> crlSha1Thumbprint(const CrlContext* context)
{
    return context->data->sha1;
}

X509_CRL* crlX509(const CrlContext* context)
{
    return context ? context->data->crl.get() : nullptr;
}

} // namespace csp
} // namespace nxcrypto
