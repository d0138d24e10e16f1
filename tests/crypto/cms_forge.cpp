#include "cms_forge.h"

#include "crypto_test_support.h"

#include "crypto/platform/openssl_init.h"
#include "crypto/platform/openssl_ptr.h"

#include <openssl/pem.h>
#include <openssl/pkcs7.h>

#include <stdexcept>

namespace crypto_test {

using namespace nxcrypto::csp;

QByteArray forgeSignature(const QByteArray& data, const QString& pkiName, const ForgeOptions& options)
{
    initOpenSsl();
    const QByteArray certificatePem = TestPki::bytes(pkiName + QStringLiteral(".pem"));
    const QByteArray keyPem = TestPki::bytes(pkiName + QStringLiteral(".key.pem"));
    BioPtr certificateBio(BIO_new_mem_buf(certificatePem.constData(), certificatePem.size()));
    X509Ptr certificate(PEM_read_bio_X509(certificateBio.get(), nullptr, nullptr, nullptr));
    BioPtr keyBio(BIO_new_mem_buf(keyPem.constData(), keyPem.size()));
    EvpPkeyPtr key(PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr));
    const EVP_MD* digest = EVP_get_digestbyname("md_gost12_256");
    if (!certificate || !key || !digest)
        throw std::runtime_error("forgeSignature: cannot load the signer");

    unsigned char value[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(data.constData(), static_cast<size_t>(data.size()), value, &length, digest, nullptr);

    OpenSslPtr<PKCS7> message(PKCS7_new());
    PKCS7_set_type(message.get(), NID_pkcs7_signed);
    PKCS7_content_new(message.get(), NID_pkcs7_data);
    PKCS7_set_detached(message.get(), 1);
    for (int i = 0; i < options.signers; ++i) {
        PKCS7_SIGNER_INFO* signer = PKCS7_add_signature(message.get(), certificate.get(), key.get(), digest);
        if (!signer)
            throw std::runtime_error("forgeSignature: cannot add a signer");
        if (options.contentType)
            PKCS7_add_signed_attribute(signer, NID_pkcs9_contentType, V_ASN1_OBJECT, OBJ_nid2obj(NID_pkcs7_data));
        if (options.messageDigest) {
            ASN1_OCTET_STRING* octets = ASN1_OCTET_STRING_new();
            ASN1_OCTET_STRING_set(octets, value, static_cast<int>(length));
            PKCS7_add_signed_attribute(signer, NID_pkcs9_messageDigest, V_ASN1_OCTET_STRING, octets);
        }
        if (options.signingTime)
            PKCS7_add0_attrib_signing_time(signer, nullptr);
        if (PKCS7_SIGNER_INFO_sign(signer) <= 0)
            throw std::runtime_error("forgeSignature: cannot sign");
    }
    PKCS7_add_certificate(message.get(), certificate.get());
    unsigned char* out = nullptr;
    const int size = i2d_PKCS7(message.get(), &out);
    if (size <= 0)
        throw std::runtime_error("forgeSignature: cannot encode");
    QByteArray encoded(reinterpret_cast<const char*>(out), size);
    OPENSSL_free(out);
    return encoded;
}

} // namespace crypto_test
