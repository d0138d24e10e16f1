#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Certificate contexts: one parsed X.509 certificate, reference counted, with the
// store it came from (if any) and its properties.
namespace nxcrypto {
namespace csp {

struct CertContext;

// Where the private key of a certificate lives (the "key provider" property).
struct KeyProvInfo
{
    std::string containerName;
    std::string providerName;
    uint32_t providerType = 0;
    uint32_t flags = 0;
    uint32_t keySpec = 0;
};

// A context of the DER certificate; a text that is no certificate fails with
// CRYPT_E_ASN1_BADTAG. Bytes after the certificate are ignored.
CertContext* createCertificateContext(const uint8_t* der, size_t size);
CertContext* duplicateCertificateContext(const CertContext* context);
// Releases one reference; null is allowed.
bool freeCertificateContext(const CertContext* context);

const std::vector<uint8_t>& certEncoded(const CertContext* context);
// The serial's INTEGER content octets, most significant first.
std::vector<uint8_t> certSerialNumber(const CertContext* context);
// DER encodings of the issuer and subject names.
std::vector<uint8_t> certIssuerName(const CertContext* context);
std::vector<uint8_t> certSubjectName(const CertContext* context);
// Validity bounds in seconds since 1970-01-01 UTC.
int64_t certNotBefore(const CertContext* context);
int64_t certNotAfter(const CertContext* context);
// Dotted OIDs of the signature algorithm and of the subject public key algorithm.
std::string certSignatureAlgorithm(const CertContext* context);
std::string certPublicKeyAlgorithm(const CertContext* context);
std::vector<uint8_t> certSha1Thumbprint(const CertContext* context);
// Both contexts hold the same certificate (same encoding).
bool certSameCertificate(const CertContext* a, const CertContext* b);

// The key provider property; null removes it. Reading a missing one fails with CRYPT_E_NOT_FOUND.
bool certSetKeyProvInfo(CertContext* context, const KeyProvInfo* info);
bool certGetKeyProvInfo(const CertContext* context, KeyProvInfo* info);

// The certificate's encoding is a well-formed X.509 certificate (a decode check only).
bool checkCertificateEncoding(const uint8_t* der, size_t size);

} // namespace csp
} // namespace nxcrypto
