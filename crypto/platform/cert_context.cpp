#include "crypto/platform/cert_context_p.h"

#include "crypto/platform/asn1_util_p.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/openssl_access.h"
#include "crypto/platform/openssl_init.h"

#include <openssl/err.h>
#include <openssl/sha.h>

#include <algorithm>
#include <ctime>

namespace nxcrypto {
namespace csp {

namespace {

std::vector<uint8_t> encodeName(const X509_NAME* name)
{
    unsigned char* out = nullptr;
    const int length = i2d_X509_NAME(name, &out);
    if (length <= 0)
        return {};
    std::vector<uint8_t> bytes(out, out + length);
    OPENSSL_free(out);
    return bytes;
}

} // namespace

std::vector<uint8_t> sha1Of(const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> digest(SHA_DIGEST_LENGTH);
    SHA1(bytes.data(), bytes.size(), digest.data());
    return digest;
}

std::shared_ptr<const CertData> parseCertData(const uint8_t* der, size_t size)
{
    return parseDerObject<X509>(der, size, d2i_X509);
}

std::shared_ptr<const CertData> certDataFromX509(X509* certificate)
{
    unsigned char* out = nullptr;
    const int length = i2d_X509(certificate, &out);
    if (length <= 0)
        return fail(err::kCryptEBadEncode, nullptr);
    auto data = parseCertData(out, static_cast<size_t>(length));
    OPENSSL_free(out);
    return data;
}

CertContext* newCertContext(const CertEntry& entry) { return new CertContext(entry); }

CertContext* createCertificateContext(const uint8_t* der, size_t size)
{
    auto data = parseCertData(der, size);
    if (!data)
        return nullptr;
    return newCertContext(CertEntry{data, {}, {}});
}

CertContext* duplicateCertificateContext(const CertContext* context) { return duplicateStoreContext(context); }

bool freeCertificateContext(const CertContext* context) { return freeStoreContext(context); }

const std::vector<uint8_t>& certEncoded(const CertContext* context) { return context->data->der; }

std::vector<uint8_t> certSerialNumber(const CertContext* context)
{
    const ASN1_INTEGER* serial = X509_get0_serialNumber(context->data->object.get());
    // The INTEGER's DER content octets (with the leading zero of a positive number
    // whose top bit is set), as the certificate carries them.
    unsigned char* out = nullptr;
    const int length = i2d_ASN1_INTEGER(serial, &out);
    if (length <= 0)
        return {};
    std::vector<uint8_t> bytes(out, out + length);
    OPENSSL_free(out);
    // Skip the tag and the length octets.
    size_t header = 2;
    if (bytes.size() > 1 && (bytes[1] & 0x80))
        header += bytes[1] & 0x7F;
    return std::vector<uint8_t>(bytes.begin() + static_cast<long>(std::min(header, bytes.size())), bytes.end());
}

std::vector<uint8_t> certIssuerName(const CertContext* context)
{
    return encodeName(X509_get_issuer_name(context->data->object.get()));
}

std::vector<uint8_t> certSubjectName(const CertContext* context)
{
    return encodeName(X509_get_subject_name(context->data->object.get()));
}

int64_t certNotBefore(const CertContext* context)
{
    return asn1TimeOrZero(X509_get0_notBefore(context->data->object.get()));
}

int64_t certNotAfter(const CertContext* context)
{
    return asn1TimeOrZero(X509_get0_notAfter(context->data->object.get()));
}

std::string certSignatureAlgorithm(const CertContext* context)
{
    const X509_ALGOR* algorithm = nullptr;
    X509_get0_signature(nullptr, &algorithm, context->data->object.get());
    const ASN1_OBJECT* object = nullptr;
    X509_ALGOR_get0(&object, nullptr, nullptr, algorithm);
    return object ? oidText(object) : std::string();
}

std::string certPublicKeyAlgorithm(const CertContext* context)
{
    const X509_PUBKEY* key = X509_get_X509_PUBKEY(context->data->object.get());
    ASN1_OBJECT* object = nullptr;
    if (!key || !X509_PUBKEY_get0_param(&object, nullptr, nullptr, nullptr, key) || !object)
        return std::string();
    return oidText(object);
}

std::vector<uint8_t> certSha1Thumbprint(const CertContext* context) { return context->data->sha1; }

bool certSameCertificate(const CertContext* a, const CertContext* b) { return a && b && a->data->der == b->data->der; }

bool certSetKeyProvInfo(CertContext* context, const KeyProvInfo* info)
{
    if (!context)
        return fail(err::kEInvalidArg);
    std::lock_guard<std::mutex> lock(context->mutex);
    if (info)
        context->keyProvInfo = *info;
    else
        context->keyProvInfo.reset();
    return true;
}

bool certGetKeyProvInfo(const CertContext* context, KeyProvInfo* info)
{
    if (!context)
        return fail(err::kEInvalidArg);
    std::lock_guard<std::mutex> lock(context->mutex);
    if (!context->keyProvInfo)
        return fail(err::kCryptENotFound);
    *info = *context->keyProvInfo;
    return true;
}

bool checkCertificateEncoding(const uint8_t* der, size_t size) { return parseCertData(der, size) != nullptr; }

X509* certX509(const CertContext* context) { return context ? context->data->object.get() : nullptr; }

} // namespace csp
} // namespace nxcrypto
