#include "crypto/platform/crypt_message.h"

#include "crypto/platform/asn1_util_p.h"
#include "crypto/platform/cert_context.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/openssl_access.h"
#include "crypto/platform/openssl_init.h"

#include <openssl/err.h>

#include <algorithm>

namespace nxcrypto {
namespace csp {

struct CryptMessage
{
    bool encoding = false;
    bool detached = false;
    uint32_t type = 0;

    // Decoding.
    std::vector<uint8_t> input;
    bool messageDone = false;
    bool contentDone = false;
    CmsPtr cms;
    BioPtr digests; // message digest BIOs over a null sink
    std::vector<std::vector<uint8_t>> certificates;

    // Encoding.
    SignerEncodeInfo signer;
    std::vector<std::vector<uint8_t>> encodeCertificates;
    std::vector<uint8_t> contentDigest;
    const EVP_MD* digest = nullptr;
    EvpMdCtxPtr contentHash;
    bool contentGiven = false;
    EvpPkeyPtr key;
    std::vector<uint8_t> output;
};

namespace {

std::vector<uint8_t> encodeAny(const ASN1_TYPE* value)
{
    unsigned char* out = nullptr;
    const int length = i2d_ASN1_TYPE(value, &out);
    std::vector<uint8_t> bytes(out, out + (length > 0 ? length : 0));
    OPENSSL_free(out);
    return bytes;
}

MessageAttribute attributeOf(X509_ATTRIBUTE* attribute)
{
    MessageAttribute result;
    result.oid = oidText(X509_ATTRIBUTE_get0_object(attribute));
    for (int i = 0; i < X509_ATTRIBUTE_count(attribute); ++i)
        result.values.push_back(encodeAny(X509_ATTRIBUTE_get0_type(attribute, i)));
    return result;
}

const EVP_MD* digestOf(CMS_SignerInfo* signerInfo)
{
    X509_ALGOR* digestAlgorithm = nullptr;
    CMS_SignerInfo_get0_algs(signerInfo, nullptr, nullptr, &digestAlgorithm, nullptr);
    const ASN1_OBJECT* object = nullptr;
    X509_ALGOR_get0(&object, nullptr, nullptr, digestAlgorithm);
    return object ? EVP_get_digestbyobj(object) : nullptr;
}

// A BIO chain that digests what is written with every digest the signers use.
bool makeDigestChain(CryptMessage* message)
{
    STACK_OF(CMS_SignerInfo)* signers = CMS_get0_SignerInfos(message->cms.get());
    BIO* chain = BIO_new(BIO_s_null());
    std::vector<const EVP_MD*> used;
    for (int i = 0; i < sk_CMS_SignerInfo_num(signers); ++i) {
        const EVP_MD* digest = digestOf(sk_CMS_SignerInfo_value(signers, i));
        if (!digest)
            continue;
        bool known = false;
        for (const EVP_MD* other : used)
            known = known || EVP_MD_get_type(other) == EVP_MD_get_type(digest);
        if (known)
            continue;
        BIO* md = BIO_new(BIO_f_md());
        BIO_set_md(md, digest);
        chain = BIO_push(md, chain);
        used.push_back(digest);
    }
    message->digests.reset(chain);
    return true;
}

bool decodeMessage(CryptMessage* message)
{
    const unsigned char* cursor = message->input.data();
    message->cms.reset(d2i_CMS_ContentInfo(nullptr, &cursor, static_cast<long>(message->input.size())));
    if (!message->cms) {
        ERR_clear_error();
        return fail(err::kCryptEAsn1BadTag);
    }
    const int contentType = OBJ_obj2nid(CMS_get0_type(message->cms.get()));
    if (message->type == kMsgSigned && contentType != NID_pkcs7_signed)
        return fail(err::kCryptEInvalidMsgType);
    if (contentType == NID_pkcs7_signed) {
        STACK_OF(X509)* certificates = CMS_get1_certs(message->cms.get());
        for (int i = 0; i < sk_X509_num(certificates); ++i) {
            unsigned char* out = nullptr;
            const int length = i2d_X509(sk_X509_value(certificates, i), &out);
            if (length > 0)
                message->certificates.emplace_back(out, out + length);
            OPENSSL_free(out);
        }
        sk_X509_pop_free(certificates, X509_free);
        makeDigestChain(message);
        if (!message->detached) {
            // The content travels inside the message.
            ASN1_OCTET_STRING** content = CMS_get0_content(message->cms.get());
            if (content && *content)
                BIO_write(message->digests.get(), ASN1_STRING_get0_data(*content), ASN1_STRING_length(*content));
            message->contentDone = true;
        }
    }
    ERR_clear_error();
    message->input.clear();
    message->input.shrink_to_fit();
    message->messageDone = true;
    return true;
}

bool updateDecoding(CryptMessage* message, const uint8_t* data, size_t size, bool final)
{
    if (!message->messageDone) {
        message->input.insert(message->input.end(), data, data + size);
        return final ? decodeMessage(message) : true;
    }
    if (!message->detached || message->contentDone || !message->digests)
        return fail(err::kCryptEMsgError);
    size_t written = 0;
    while (written < size) {
        const int chunk = static_cast<int>(std::min<size_t>(size - written, 1 << 30));
        if (BIO_write(message->digests.get(), data + written, chunk) != chunk) {
            ERR_clear_error();
            return fail(err::kNteFail);
        }
        written += static_cast<size_t>(chunk);
    }
    if (final)
        message->contentDone = true;
    return true;
}

bool finishEncoding(CryptMessage* message)
{
    std::vector<uint8_t> digest = message->contentDigest;
    if (digest.empty()) {
        unsigned char value[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (!EVP_DigestFinal_ex(message->contentHash.get(), value, &length))
            return fail(err::kNteFail);
        digest.assign(value, value + length);
    }
    if (digest.size() != static_cast<size_t>(EVP_MD_get_size(message->digest)))
        return fail(err::kNteBadHash);

    const unsigned int flags = CMS_PARTIAL | CMS_DETACHED | CMS_BINARY | CMS_NOSMIMECAP;
    CmsPtr cms(CMS_sign(nullptr, nullptr, nullptr, nullptr, flags));
    if (!cms)
        return fail(err::kNteFail);
    CMS_SignerInfo* signerInfo = CMS_add1_signer(cms.get(), certX509(message->signer.certificate), message->key.get(),
                                                 message->digest, flags | CMS_NOCERTS);
    if (!signerInfo)
        return fail(err::kNteBadKey);
    if (CMS_signed_get_attr_by_NID(signerInfo, NID_pkcs9_contentType, -1) < 0
        && !CMS_signed_add1_attr_by_NID(signerInfo, NID_pkcs9_contentType, V_ASN1_OBJECT, OBJ_nid2obj(NID_pkcs7_data),
                                        -1))
        return fail(err::kNteFail);
    if (!CMS_signed_add1_attr_by_NID(signerInfo, NID_pkcs9_messageDigest, V_ASN1_OCTET_STRING, digest.data(),
                                     static_cast<int>(digest.size())))
        return fail(err::kNteFail);
    // Adds signingTime (now) and signs the attributes.
    if (!CMS_SignerInfo_sign(signerInfo))
        return fail(err::kNteBadSignature);
    for (const std::vector<uint8_t>& der : message->encodeCertificates) {
        const unsigned char* cursor = der.data();
        X509Ptr certificate(d2i_X509(nullptr, &cursor, static_cast<long>(der.size())));
        if (!certificate || !CMS_add1_cert(cms.get(), certificate.get()))
            return fail(err::kCryptEBadEncode);
    }
    unsigned char* out = nullptr;
    const int length = i2d_CMS_ContentInfo(cms.get(), &out);
    if (length <= 0)
        return fail(err::kCryptEBadEncode);
    message->output.assign(out, out + length);
    OPENSSL_free(out);
    return true;
}

bool updateEncoding(CryptMessage* message, const uint8_t* data, size_t size, bool final)
{
    if (!message->output.empty())
        return fail(err::kCryptEMsgError);
    if (size > 0) {
        if (!message->contentDigest.empty())
            return fail(err::kEInvalidArg); // the digest was given: no content
        if (!EVP_DigestUpdate(message->contentHash.get(), data, size))
            return fail(err::kNteFail);
        message->contentGiven = true;
    }
    if (!final)
        return true;
    const bool done = finishEncoding(message);
    ERR_clear_error();
    return done;
}

CMS_SignerInfo* signerAt(CryptMessage* message, uint32_t index)
{
    if (!message->cms)
        return fail(err::kCryptEInvalidMsgType, nullptr);
    STACK_OF(CMS_SignerInfo)* signers = CMS_get0_SignerInfos(message->cms.get());
    if (!signers || index >= static_cast<uint32_t>(sk_CMS_SignerInfo_num(signers)))
        return fail(err::kCryptEInvalidIndex, nullptr);
    return sk_CMS_SignerInfo_value(signers, static_cast<int>(index));
}

} // namespace

CryptMessage* msgOpenToDecode(uint32_t flags, uint32_t type)
{
    if (!initOpenSsl())
        return fail(err::kNteProviderDllFail, nullptr);
    if (type != kMsgAny && type != kMsgSigned)
        return fail(err::kCryptEInvalidMsgType, nullptr);
    auto* message = new CryptMessage;
    message->detached = (flags & kMsgDetachedFlag) != 0;
    message->type = type;
    return message;
}

CryptMessage* msgOpenToEncode(uint32_t flags, uint32_t type, const SignedEncodeInfo& info)
{
    if (!initOpenSsl())
        return fail(err::kNteProviderDllFail, nullptr);
    if (type != kMsgSigned || !(flags & kMsgDetachedFlag))
        return fail(err::kCryptEInvalidMsgType, nullptr);
    if (!info.signer.certificate || !info.signer.provider)
        return fail(err::kEInvalidArg, nullptr);
    OpenSslPtr<ASN1_OBJECT> hashObject(OBJ_txt2obj(info.signer.hashOid.c_str(), 1));
    const EVP_MD* digest = hashObject ? EVP_get_digestbyobj(hashObject.get()) : nullptr;
    ERR_clear_error();
    if (!digest)
        return fail(err::kCryptEUnknownAlgo, nullptr);
    EvpPkeyPtr key = providerPrivateKey(info.signer.provider, info.signer.keySpec);
    if (!key)
        return nullptr;
    auto* message = new CryptMessage;
    message->encoding = true;
    message->detached = true;
    message->type = type;
    message->signer = info.signer;
    message->encodeCertificates = info.certificates;
    message->digest = digest;
    message->key = std::move(key);
    message->contentHash.reset(EVP_MD_CTX_new());
    if (!message->contentHash || !EVP_DigestInit_ex(message->contentHash.get(), digest, nullptr)) {
        ERR_clear_error();
        delete message;
        return fail(err::kNteFail, nullptr);
    }
    return message;
}

bool msgUpdate(CryptMessage* message, const uint8_t* data, size_t size, bool final)
{
    if (!message)
        return fail(err::kInvalidHandle);
    if (size > 0 && !data)
        return fail(err::kEInvalidArg);
    return message->encoding ? updateEncoding(message, data, size, final) : updateDecoding(message, data, size, final);
}

bool msgSetContentDigest(CryptMessage* message, const std::vector<uint8_t>& digest)
{
    if (!message)
        return fail(err::kInvalidHandle);
    if (!message->encoding || message->contentGiven || !message->output.empty())
        return fail(err::kCryptEMsgError);
    if (digest.size() != static_cast<size_t>(EVP_MD_get_size(message->digest)))
        return fail(err::kNteBadHash);
    message->contentDigest = digest;
    return true;
}

bool msgGetContent(CryptMessage* message, std::vector<uint8_t>* encoded)
{
    if (!message)
        return fail(err::kInvalidHandle);
    if (!message->encoding)
        return fail(err::kCryptEInvalidMsgType);
    if (message->output.empty())
        return fail(err::kCryptEStreamMsgNotReady);
    *encoded = message->output;
    return true;
}

bool msgGetCertCount(CryptMessage* message, uint32_t* count)
{
    if (!message)
        return fail(err::kInvalidHandle);
    if (!message->messageDone)
        return fail(err::kCryptEStreamMsgNotReady);
    *count = static_cast<uint32_t>(message->certificates.size());
    return true;
}

bool msgGetCert(CryptMessage* message, uint32_t index, std::vector<uint8_t>* der)
{
    if (!message)
        return fail(err::kInvalidHandle);
    if (index >= message->certificates.size())
        return fail(err::kCryptEInvalidIndex);
    *der = message->certificates[index];
    return true;
}

bool msgGetSignerCount(CryptMessage* message, uint32_t* count)
{
    if (!message)
        return fail(err::kInvalidHandle);
    if (!message->cms || OBJ_obj2nid(CMS_get0_type(message->cms.get())) != NID_pkcs7_signed)
        return fail(err::kCryptEInvalidMsgType);
    *count = static_cast<uint32_t>(sk_CMS_SignerInfo_num(CMS_get0_SignerInfos(message->cms.get())));
    return true;
}

bool msgGetSignerInfo(CryptMessage* message, uint32_t index, MessageSignerInfo* info)
{
    if (!message)
        return fail(err::kInvalidHandle);
    CMS_SignerInfo* signerInfo = signerAt(message, index);
    if (!signerInfo)
        return false;
    *info = MessageSignerInfo();
    ASN1_OCTET_STRING* keyId = nullptr;
    X509_NAME* issuer = nullptr;
    ASN1_INTEGER* serial = nullptr;
    if (CMS_SignerInfo_get0_signer_id(signerInfo, &keyId, &issuer, &serial) && issuer && serial) {
        unsigned char* out = nullptr;
        const int length = i2d_X509_NAME(issuer, &out);
        if (length > 0)
            info->issuerName.assign(out, out + length);
        OPENSSL_free(out);
        OpenSslPtr<BIGNUM> number(ASN1_INTEGER_to_BN(serial, nullptr));
        info->serialNumber.resize(static_cast<size_t>(BN_num_bytes(number.get())));
        BN_bn2bin(number.get(), info->serialNumber.data());
    }
    X509_ALGOR* digestAlgorithm = nullptr;
    X509_ALGOR* signatureAlgorithm = nullptr;
    CMS_SignerInfo_get0_algs(signerInfo, nullptr, nullptr, &digestAlgorithm, &signatureAlgorithm);
    const ASN1_OBJECT* object = nullptr;
    X509_ALGOR_get0(&object, nullptr, nullptr, digestAlgorithm);
    info->hashOid = object ? oidText(object) : std::string();
    X509_ALGOR_get0(&object, nullptr, nullptr, signatureAlgorithm);
    info->signatureOid = object ? oidText(object) : std::string();
    for (int i = 0; i < CMS_signed_get_attr_count(signerInfo); ++i)
        info->authenticatedAttributes.push_back(attributeOf(CMS_signed_get_attr(signerInfo, i)));
    for (int i = 0; i < CMS_unsigned_get_attr_count(signerInfo); ++i)
        info->unauthenticatedAttributes.push_back(attributeOf(CMS_unsigned_get_attr(signerInfo, i)));
    ERR_clear_error();
    return true;
}

bool msgVerifySignature(CryptMessage* message, const CertContext* certificate)
{
    if (!message || !certificate)
        return fail(err::kEInvalidArg);
    if (!message->cms || !message->contentDone)
        return fail(err::kCryptEStreamMsgNotReady);
    X509* signerCertificate = certX509(certificate);
    STACK_OF(CMS_SignerInfo)* signers = CMS_get0_SignerInfos(message->cms.get());
    CMS_SignerInfo* signerInfo = nullptr;
    for (int i = 0; signers && i < sk_CMS_SignerInfo_num(signers) && !signerInfo; ++i)
        if (CMS_SignerInfo_cert_cmp(sk_CMS_SignerInfo_value(signers, i), signerCertificate) == 0)
            signerInfo = sk_CMS_SignerInfo_value(signers, i);
    if (!signerInfo)
        return fail(err::kCryptESignerNotFound);
    if (!digestOf(signerInfo))
        return fail(err::kCryptEUnknownAlgo);
    CMS_SignerInfo_set1_signer_cert(signerInfo, signerCertificate);
    bool valid = true;
    if (CMS_signed_get_attr_count(signerInfo) > 0) {
        if (CMS_signed_get_attr_by_NID(signerInfo, NID_pkcs9_messageDigest, -1) < 0) {
            ERR_clear_error();
            return fail(err::kCryptEAuthAttrMissing);
        }
        valid = CMS_SignerInfo_verify(signerInfo) == 1;
    }
    valid = valid && CMS_SignerInfo_verify_content(signerInfo, message->digests.get()) == 1;
    ERR_clear_error();
    return valid ? true : fail(err::kNteBadSignature);
}

bool msgClose(CryptMessage* message)
{
    delete message;
    return true;
}

} // namespace csp
} // namespace nxcrypto
