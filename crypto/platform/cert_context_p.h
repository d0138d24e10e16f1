#pragma once

// Inside of certificate and CRL contexts, shared by the stores and chains of the layer.

#include "crypto/platform/cert_context.h"
#include "crypto/platform/openssl_ptr.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

namespace nxcrypto {
namespace csp {

struct StoreImpl;

struct CertData {
    X509Ptr x509;
    std::vector<uint8_t> der;
    std::vector<uint8_t> sha1;
};

// One certificate of a store's list: the store is held weakly (the store keeps
// its list), the file it came from is known for persistent stores.
struct CertEntry {
    std::shared_ptr<const CertData> data;
    std::weak_ptr<StoreImpl> origin;
    std::string path;
};
using CertSnapshot = std::vector<CertEntry>;

struct CertContext {
    std::atomic<int> references{1};
    std::shared_ptr<const CertData> data;
    std::shared_ptr<StoreImpl> origin;
    std::string path;
    // Enumeration state: the store's list at the start of the enumeration.
    std::shared_ptr<const CertSnapshot> snapshot;
    size_t position = 0;
    mutable std::mutex mutex;
    std::optional<KeyProvInfo> keyProvInfo;
};

// Parses a DER certificate; null (with the last error set) when it is none.
std::shared_ptr<const CertData> parseCertData(const uint8_t* der, size_t size);
std::shared_ptr<const CertData> certDataFromX509(X509* certificate);
CertContext* newCertContext(const CertEntry& entry);

std::vector<uint8_t> sha1Of(const std::vector<uint8_t>& bytes);

} // namespace csp
} // namespace nxcrypto
