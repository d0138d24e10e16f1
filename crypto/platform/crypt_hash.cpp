#include "crypto/platform/crypt_hash.h"

#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/openssl_init.h"
#include "crypto/platform/openssl_ptr.h"

#include <openssl/err.h>

namespace nxcrypto {
namespace csp {

struct CryptHash
{
    EvpMdCtxPtr context;
    std::vector<uint8_t> value; // set when the hash is finished
    bool finished = false;
};

namespace {

const EVP_MD* digestFor(uint32_t algorithm)
{
    switch (algorithm) {
    case kCalgGost94:
        return EVP_get_digestbyname("md_gost94");
    case kCalgGost2012_256:
        return EVP_get_digestbyname("md_gost12_256");
    case kCalgGost2012_512:
        return EVP_get_digestbyname("md_gost12_512");
    default:
        return nullptr;
    }
}

} // namespace

CryptHash* createHash(Provider* provider, uint32_t algorithm)
{
    if (!provider)
        return fail(err::kInvalidHandle, nullptr);
    if (!initOpenSsl())
        return fail(err::kNteProviderDllFail, nullptr);
    const EVP_MD* digest = digestFor(algorithm);
    if (!digest)
        return fail(err::kNteBadAlgId, nullptr);
    auto* hash = new CryptHash;
    hash->context.reset(EVP_MD_CTX_new());
    if (!hash->context || !EVP_DigestInit_ex(hash->context.get(), digest, nullptr)) {
        ERR_clear_error();
        delete hash;
        return fail(err::kNteFail, nullptr);
    }
    return hash;
}

bool hashData(CryptHash* hash, const uint8_t* data, size_t size)
{
    if (!hash)
        return fail(err::kInvalidHandle);
    if (hash->finished)
        return fail(err::kNteBadHashState);
    if (size > 0 && !EVP_DigestUpdate(hash->context.get(), data, size)) {
        ERR_clear_error();
        return fail(err::kNteFail);
    }
    return true;
}

bool getHashSize(CryptHash* hash, uint32_t* size)
{
    if (!hash)
        return fail(err::kInvalidHandle);
    *size = static_cast<uint32_t>(EVP_MD_CTX_size(hash->context.get()));
    return true;
}

bool getHashValue(CryptHash* hash, std::vector<uint8_t>* value)
{
    if (!hash)
        return fail(err::kInvalidHandle);
    if (!hash->finished) {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (!EVP_DigestFinal_ex(hash->context.get(), digest, &length)) {
            ERR_clear_error();
            return fail(err::kNteFail);
        }
        hash->value.assign(digest, digest + length);
        hash->finished = true;
    }
    *value = hash->value;
    return true;
}

bool destroyHash(CryptHash* hash)
{
    if (!hash)
        return fail(err::kInvalidHandle);
    delete hash;
    return true;
}

} // namespace csp
} // namespace nxcrypto
