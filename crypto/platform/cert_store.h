#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Certificate stores: named persistent stores under <provider root>/stores/<name>/
// (one DER file per certificate named by its SHA-1 thumbprint, CRLs in crl/),
// memory stores and collections of stores. Failures set the last error.
namespace nxcrypto {
namespace csp {

struct CertStore;
struct CertContext;
struct CrlContext;

// Add dispositions.
constexpr uint32_t kStoreAddNew = 1; // fails with CRYPT_E_EXISTS when present
constexpr uint32_t kStoreAddUseExisting = 2;
constexpr uint32_t kStoreAddReplaceExisting = 3;
constexpr uint32_t kStoreAddAlways = 4;

// Find types.
constexpr uint32_t kFindSha1Hash = 0x00010000;
constexpr uint32_t kFindExisting = 0x000D0000;
constexpr uint32_t kFindCertIdIssuerSerial = 0x00100000;

struct CertFindCriteria
{
    uint32_t type = 0;
    const CertContext* existing = nullptr; // kFindExisting
    std::vector<uint8_t> issuerName;       // kFindCertIdIssuerSerial: DER name
    std::vector<uint8_t> serialNumber;     //   and serial, most significant byte first
    std::vector<uint8_t> sha1;             // kFindSha1Hash
};

// The named store of the user (created when missing).
CertStore* openSystemStore(const std::string& name);
CertStore* openMemoryStore();
CertStore* openCollectionStore();
bool addStoreToCollection(CertStore* collection, CertStore* store);
CertStore* duplicateStore(CertStore* store);
bool closeStore(CertStore* store);

// Adds a copy of the certificate; *added (when given) receives a context of the copy.
bool addCertificateToStore(CertStore* store, const CertContext* certificate, uint32_t disposition,
                           CertContext** added = nullptr);
// The next certificate after previous (null: the first); previous is freed. At the
// end: null with CRYPT_E_NOT_FOUND.
CertContext* enumCertificatesInStore(CertStore* store, const CertContext* previous);
// The next certificate after previous that meets the criteria; previous is freed.
CertContext* findCertificateInStore(CertStore* store, const CertFindCriteria& criteria, const CertContext* previous);
// Removes the certificate from the store it was found in, and frees the context.
bool deleteCertificateFromStore(const CertContext* certificate);

bool addCrlToStore(CertStore* store, const CrlContext* crl, uint32_t disposition);
CrlContext* enumCrlsInStore(CertStore* store, const CrlContext* previous);
bool deleteCrlFromStore(const CrlContext* crl);

} // namespace csp
} // namespace nxcrypto
