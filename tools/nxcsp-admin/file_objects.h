#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nxcrypto {
namespace csp {
struct CertContext;
struct CrlContext;
} // namespace csp
} // namespace nxcrypto

namespace nxcsp_admin {

// The certificates and CRLs of a file: PEM (any number of CERTIFICATE, X509 CRL
// and PKCS7 blocks) or DER (a certificate, a CRL or a PKCS#7 bundle). Owns its contexts.
class FileObjects
{
public:
    explicit FileObjects(const std::vector<uint8_t>& bytes);
    ~FileObjects();
    FileObjects(const FileObjects&) = delete;
    FileObjects& operator=(const FileObjects&) = delete;

    const std::vector<nxcrypto::csp::CertContext*>& certificates() const { return certificates_; }
    const std::vector<nxcrypto::csp::CrlContext*>& crls() const { return crls_; }
    bool empty() const { return certificates_.empty() && crls_.empty(); }

private:
    void addDer(const std::string& pemType, const std::vector<uint8_t>& der);
    void addPkcs7(const std::vector<uint8_t>& der);
    void release();

    std::vector<nxcrypto::csp::CertContext*> certificates_;
    std::vector<nxcrypto::csp::CrlContext*> crls_;
};

} // namespace nxcsp_admin
