#include "file_objects.h"

#include "admin_common.h"

#include "crypto/platform/cert_context.h"
#include "crypto/platform/crl_context.h"
#include "crypto/platform/openssl_ptr.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/pkcs7.h>

#include <cstring>

namespace nxcsp_admin {

using namespace nxcrypto::csp;

namespace {

bool looksLikePem(const std::vector<uint8_t>& bytes)
{
    const char marker[] = "-----BEGIN ";
    const size_t length = sizeof marker - 1;
    for (size_t i = 0; i + length <= bytes.size(); ++i)
        if (std::memcmp(bytes.data() + i, marker, length) == 0)
            return true;
    return false;
}

template <typename Object>
std::vector<uint8_t> encoded(const Object* object, int (*encode)(const Object*, unsigned char**))
{
    unsigned char* out = nullptr;
    const int length = encode(object, &out);
    std::vector<uint8_t> bytes(out, out + (length > 0 ? length : 0));
    OPENSSL_free(out);
    return bytes;
}

} // namespace

FileObjects::FileObjects(const std::vector<uint8_t>& bytes)
{
    try {
        if (!looksLikePem(bytes)) {
            addDer(std::string(), bytes);
            return;
        }
        BioPtr bio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
        for (;;) {
            char* name = nullptr;
            char* header = nullptr;
            unsigned char* data = nullptr;
            long length = 0;
            if (!PEM_read_bio(bio.get(), &name, &header, &data, &length)) {
                ERR_clear_error();
                break;
            }
            const std::string type = name;
            std::vector<uint8_t> der(data, data + length);
            OPENSSL_free(name);
            OPENSSL_free(header);
            OPENSSL_free(data);
            addDer(type, der);
        }
        if (empty())
            throw CommandError{"no certificate or CRL found"};
    } catch (...) {
        release();
        throw;
    }
}

FileObjects::~FileObjects() { release(); }

void FileObjects::release()
{
    for (CertContext* certificate : certificates_)
        freeCertificateContext(certificate);
    for (CrlContext* crl : crls_)
        freeCrlContext(crl);
    certificates_.clear();
    crls_.clear();
}

void FileObjects::addDer(const std::string& pemType, const std::vector<uint8_t>& der)
{
    if (pemType.empty() || pemType == "CERTIFICATE" || pemType == "X509 CERTIFICATE") {
        if (CertContext* certificate = createCertificateContext(der.data(), der.size())) {
            certificates_.push_back(certificate);
            return;
        }
    }
    if (pemType.empty() || pemType == "X509 CRL") {
        if (CrlContext* crl = createCrlContext(der.data(), der.size())) {
            crls_.push_back(crl);
            return;
        }
    }
    if (pemType.empty() || pemType == "PKCS7" || pemType == "CMS") {
        addPkcs7(der);
        return;
    }
    if (pemType == "PRIVATE KEY" || pemType == "ENCRYPTED PRIVATE KEY")
        throw CommandError{"the file holds a private key; import keys with \"container import\""};
    throw CommandError{"unsupported PEM block \"" + pemType + "\""};
}

void FileObjects::addPkcs7(const std::vector<uint8_t>& der)
{
    const unsigned char* cursor = der.data();
    OpenSslPtr<PKCS7> bundle(d2i_PKCS7(nullptr, &cursor, static_cast<long>(der.size())));
    if (!bundle || !PKCS7_type_is_signed(bundle.get())) {
        ERR_clear_error();
        throw CommandError{"neither a certificate, a CRL nor a PKCS#7 bundle"};
    }
    const size_t before = certificates_.size() + crls_.size();
    STACK_OF(X509)* certificates = bundle->d.sign->cert;
    for (int i = 0; i < sk_X509_num(certificates); ++i) {
        const std::vector<uint8_t> bytes = encoded<X509>(sk_X509_value(certificates, i), i2d_X509);
        if (CertContext* certificate = createCertificateContext(bytes.data(), bytes.size()))
            certificates_.push_back(certificate);
    }
    STACK_OF(X509_CRL)* crls = bundle->d.sign->crl;
    for (int i = 0; i < sk_X509_CRL_num(crls); ++i) {
        const std::vector<uint8_t> bytes = encoded<X509_CRL>(sk_X509_CRL_value(crls, i), i2d_X509_CRL);
        if (CrlContext* crl = createCrlContext(bytes.data(), bytes.size()))
            crls_.push_back(crl);
    }
    if (certificates_.size() + crls_.size() == before)
        throw CommandError{"the PKCS#7 bundle holds no certificate or CRL"};
}

} // namespace nxcsp_admin
