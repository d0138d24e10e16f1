#include "pkcs12_forge.h"

#include "crypto_test_support.h"

#include "crypto/platform/openssl_init.h"
#include "crypto/platform/openssl_ptr.h"

#include <openssl/pem.h>
#include <openssl/pkcs12.h>

#include <stdexcept>

namespace crypto_test {

using namespace nxcrypto::csp;

namespace {

template <typename Object>
OpenSslPtr<Object> readPem(const QString& pkiFile, Object* (*read)(BIO*, Object**, pem_password_cb*, void*))
{
    const QByteArray pem = TestPki::bytes(pkiFile);
    BioPtr bio(BIO_new_mem_buf(pem.constData(), pem.size()));
    OpenSslPtr<Object> object(read(bio.get(), nullptr, nullptr, nullptr));
    if (!object)
        throw std::runtime_error("forgeStreebogKuznyechikPkcs12: cannot read " + pkiFile.toStdString());
    return object;
}

X509_ALGOR* newEncryption()
{
    X509_ALGOR* algorithm = PKCS5_pbe2_set_iv(EVP_get_cipherbyname("kuznyechik-ctr-acpkm"), 2048, nullptr, 0, nullptr,
                                              NID_id_tc26_hmac_gost_3411_2012_512);
    if (!algorithm)
        throw std::runtime_error("forgeStreebogKuznyechikPkcs12: no PBES2 with Kuznyechik and Streebog");
    return algorithm;
}

void push(STACK_OF(PKCS12_SAFEBAG) * bags, PKCS12_SAFEBAG* bag)
{
    if (!bag || !sk_PKCS12_SAFEBAG_push(bags, bag)) {
        PKCS12_SAFEBAG_free(bag);
        throw std::runtime_error("forgeStreebogKuznyechikPkcs12: cannot make a bag");
    }
}

} // namespace

QByteArray forgeStreebogKuznyechikPkcs12(const QString& pkiName, const QByteArray& password)
{
    initOpenSsl();
    const auto key = readPem<EVP_PKEY>(pkiName + QStringLiteral(".key.pem"), PEM_read_bio_PrivateKey);
    const auto certificate = readPem<X509>(pkiName + QStringLiteral(".pem"), PEM_read_bio_X509);
    unsigned char keyId[EVP_MAX_MD_SIZE];
    unsigned int keyIdLength = 0;
    X509_digest(certificate.get(), EVP_sha1(), keyId, &keyIdLength);

    // The key, shrouded; PKCS8_set0_pbe owns the algorithm once it succeeds.
    const OpenSslPtr<PKCS8_PRIV_KEY_INFO> keyInfo(EVP_PKEY2PKCS8(key.get()));
    OpenSslPtr<X509_ALGOR> keyEncryption(newEncryption());
    X509_SIG* shrouded = PKCS8_set0_pbe(password.constData(), password.size(), keyInfo.get(), keyEncryption.get());
    if (!shrouded)
        throw std::runtime_error("forgeStreebogKuznyechikPkcs12: cannot encrypt the key");
    keyEncryption.release();
    const OpenSslPtr<STACK_OF(PKCS12_SAFEBAG)> keyBags(sk_PKCS12_SAFEBAG_new_null());
    PKCS12_SAFEBAG* keyBag = PKCS12_SAFEBAG_create0_pkcs8(shrouded);
    push(keyBags.get(), keyBag);
    PKCS12_add_localkeyid(keyBag, keyId, static_cast<int>(keyIdLength));

    // The certificates, encrypted the same way.
    const OpenSslPtr<STACK_OF(PKCS12_SAFEBAG)> certificateBags(sk_PKCS12_SAFEBAG_new_null());
    PKCS12_SAFEBAG* leaf = PKCS12_SAFEBAG_create_cert(certificate.get());
    push(certificateBags.get(), leaf);
    PKCS12_add_localkeyid(leaf, keyId, static_cast<int>(keyIdLength));
    for (const char* authority : {"intermediate.pem", "root.pem"})
        push(certificateBags.get(),
             PKCS12_SAFEBAG_create_cert(readPem<X509>(QLatin1String(authority), PEM_read_bio_X509).get()));
    OpenSslPtr<PKCS7> certificates(PKCS7_new());
    PKCS7_set_type(certificates.get(), NID_pkcs7_encrypted);
    PKCS7_ENC_CONTENT* content = certificates->d.encrypted->enc_data;
    X509_ALGOR_free(content->algorithm);
    content->algorithm = newEncryption();
    ASN1_OCTET_STRING_free(content->enc_data);
    content->enc_data = PKCS12_item_i2d_encrypt(content->algorithm, ASN1_ITEM_rptr(PKCS12_SAFEBAGS),
                                                password.constData(), password.size(), certificateBags.get(), 1);
    OpenSslPtr<PKCS7> keys(PKCS12_pack_p7data(keyBags.get()));
    if (!content->enc_data || !keys)
        throw std::runtime_error("forgeStreebogKuznyechikPkcs12: cannot pack the bags");

    const OpenSslPtr<STACK_OF(PKCS7)> safes(sk_PKCS7_new_null());
    sk_PKCS7_push(safes.get(), keys.release());
    sk_PKCS7_push(safes.get(), certificates.release());
    const OpenSslPtr<PKCS12> file(PKCS12_add_safes(safes.get(), 0));
    if (!file
        || !PKCS12_set_mac(file.get(), password.constData(), password.size(), nullptr, 0, 2048,
                           EVP_get_digestbyname("md_gost12_512")))
        throw std::runtime_error("forgeStreebogKuznyechikPkcs12: cannot make the file");
    unsigned char* out = nullptr;
    const int size = i2d_PKCS12(file.get(), &out);
    if (size <= 0)
        throw std::runtime_error("forgeStreebogKuznyechikPkcs12: cannot encode");
    QByteArray encoded(reinterpret_cast<const char*>(out), size);
    OPENSSL_free(out);
    return encoded;
}

} // namespace crypto_test
