#include "crypto/platform/pkcs12_import.h"

#include "crypto/platform/cert_store.h"
#include "crypto/platform/cert_store_p.h"
#include "crypto/platform/container_admin_p.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/openssl_init.h"
#include "crypto/platform/openssl_ptr.h"

#include <openssl/err.h>

#include <memory>

namespace nxcrypto {
namespace csp {

namespace {

// What a PKCS#12 file holds, read and checked before anything is written.
struct Pkcs12Contents
{
    EvpPkeyPtr key;
    std::shared_ptr<const CertData> certificate;
    std::vector<std::shared_ptr<const CertData>> authorities;
};

bool isGostKey(const EVP_PKEY* key)
{
    switch (EVP_PKEY_get_base_id(key)) {
    case NID_id_GostR3410_2001:
    case NID_id_GostR3410_2012_256:
    case NID_id_GostR3410_2012_512:
        return true;
    default:
        return false;
    }
}

// An empty password may have been taken as none when the file was made.
bool macVerifies(PKCS12* file, const std::string& password)
{
    if (PKCS12_verify_mac(file, password.c_str(), static_cast<int>(password.size())))
        return true;
    return password.empty() && PKCS12_verify_mac(file, nullptr, 0);
}

bool readPkcs12(const std::vector<uint8_t>& pfx, const std::string& password, Pkcs12Contents* contents)
{
    initOpenSsl();
    const unsigned char* cursor = pfx.data();
    const OpenSslPtr<PKCS12> file(pfx.empty() ? nullptr : d2i_PKCS12(nullptr, &cursor, static_cast<long>(pfx.size())));
    if (!file) {
        ERR_clear_error();
        return fail(err::kCryptEBadEncode);
    }
    // With a MAC a wrong password shows before any decryption; without one only the
    // decryption can tell, and then it cannot tell a wrong password from a damaged file.
    const bool hasMac = PKCS12_mac_present(file.get());
    ERR_clear_error();
    if (hasMac && !macVerifies(file.get(), password)) {
        // A MAC that differs leaves no error behind; one that cannot be computed does.
        const bool computed = ERR_peek_error() == 0;
        ERR_clear_error();
        return fail(computed ? err::kInvalidPassword : err::kCryptEBadEncode);
    }
    EVP_PKEY* key = nullptr;
    X509* certificate = nullptr;
    STACK_OF(X509)* others = nullptr;
    const int parsed = PKCS12_parse(file.get(), password.c_str(), &key, &certificate, &others);
    contents->key.reset(key);
    const X509Ptr ownedCertificate(certificate);
    const X509StackPtr ownedOthers(others);
    // The key decoders of OpenSSL's providers leave their refusal of GOST keys behind.
    ERR_clear_error();
    if (!parsed)
        return fail(hasMac ? err::kCryptEBadEncode : err::kInvalidPassword);
    if (!key)
        return fail(err::kNteNoKey);
    if (!isGostKey(key))
        return fail(err::kNteBadAlgId);
    if (!certificate)
        return fail(err::kScardENoSuchCertificate);
    contents->certificate = certDataFromX509(certificate);
    if (!contents->certificate)
        return false;
    for (int i = 0; i < sk_X509_num(others); ++i) {
        X509* other = sk_X509_value(others, i);
        // The file may carry certificates of other people too; only authorities go to the CA store.
        if (X509_check_ca(other) <= 0)
            continue;
        auto authority = certDataFromX509(other);
        if (!authority)
            return false;
        contents->authorities.push_back(std::move(authority));
    }
    return true;
}

bool addAuthorities(const std::string& storeName, const std::vector<std::shared_ptr<const CertData>>& authorities)
{
    if (authorities.empty())
        return true;
    const std::unique_ptr<CertStore> store(openSystemStore(storeName));
    if (!store)
        return false;
    for (const auto& authority : authorities) {
        CertEntry added;
        if (!store->impl->addCertificate(authority, kStoreAddReplaceExisting, &added))
            return false;
    }
    return true;
}

} // namespace

bool importPkcs12Key(const std::string& container, bool machineKeyset, uint32_t keySpec,
                     const std::vector<uint8_t>& pfx, const std::string& password, const std::string& pin,
                     const std::string& caStore, size_t* authorities)
{
    Pkcs12Contents contents;
    if (!readPkcs12(pfx, password, &contents))
        return false;
    if (!canStoreContainerKey(container, machineKeyset, keySpec))
        return false;
    if (!addAuthorities(caStore, contents.authorities))
        return false;
    if (authorities)
        *authorities = contents.authorities.size();
    return storeContainerKey(container, machineKeyset, keySpec, contents.key.get(), *contents.certificate, pin);
}

} // namespace csp
} // namespace nxcrypto
