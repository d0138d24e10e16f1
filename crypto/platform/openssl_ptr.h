#pragma once

// Owning pointers for the OpenSSL objects the layer keeps. Internal to the crypto
// library: the application never includes OpenSSL headers.

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>

#include <memory>

namespace nxcrypto {
namespace csp {

struct OpenSslDeleter
{
    void operator()(X509* p) const { X509_free(p); }
    void operator()(X509_CRL* p) const { X509_CRL_free(p); }
    void operator()(X509_NAME* p) const { X509_NAME_free(p); }
    void operator()(X509_STORE* p) const { X509_STORE_free(p); }
    void operator()(X509_STORE_CTX* p) const { X509_STORE_CTX_free(p); }
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
    void operator()(EVP_MD_CTX* p) const { EVP_MD_CTX_free(p); }
    void operator()(BIO* p) const { BIO_free_all(p); }
    void operator()(CMS_ContentInfo* p) const { CMS_ContentInfo_free(p); }
    void operator()(PKCS7* p) const { PKCS7_free(p); }
    void operator()(PKCS12* p) const { PKCS12_free(p); }
    void operator()(PKCS8_PRIV_KEY_INFO* p) const { PKCS8_PRIV_KEY_INFO_free(p); }
    void operator()(X509_ALGOR* p) const { X509_ALGOR_free(p); }
    // ASN1_INTEGER and ASN1_OCTET_STRING are ASN1_STRING too.
    void operator()(ASN1_STRING* p) const { ASN1_STRING_free(p); }
    void operator()(ASN1_OBJECT* p) const { ASN1_OBJECT_free(p); }
    void operator()(ASN1_TYPE* p) const { ASN1_TYPE_free(p); }
    void operator()(BIGNUM* p) const { BN_free(p); }
    void operator()(STACK_OF(X509) * p) const { sk_X509_pop_free(p, X509_free); }
    void operator()(STACK_OF(X509_CRL) * p) const { sk_X509_CRL_pop_free(p, X509_CRL_free); }
    void operator()(STACK_OF(PKCS7) * p) const { sk_PKCS7_pop_free(p, PKCS7_free); }
    void operator()(STACK_OF(PKCS12_SAFEBAG) * p) const { sk_PKCS12_SAFEBAG_pop_free(p, PKCS12_SAFEBAG_free); }
};

template <typename T>
using OpenSslPtr = std::unique_ptr<T, OpenSslDeleter>;

using X509Ptr = OpenSslPtr<X509>;
using X509CrlPtr = OpenSslPtr<X509_CRL>;
using X509NamePtr = OpenSslPtr<X509_NAME>;
using X509StorePtr = OpenSslPtr<X509_STORE>;
using X509StoreCtxPtr = OpenSslPtr<X509_STORE_CTX>;
using EvpPkeyPtr = OpenSslPtr<EVP_PKEY>;
using EvpMdCtxPtr = OpenSslPtr<EVP_MD_CTX>;
using BioPtr = OpenSslPtr<BIO>;
using CmsPtr = OpenSslPtr<CMS_ContentInfo>;
using X509StackPtr = OpenSslPtr<STACK_OF(X509)>;
using X509CrlStackPtr = OpenSslPtr<STACK_OF(X509_CRL)>;

} // namespace csp
} // namespace nxcrypto
