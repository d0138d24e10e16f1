#pragma once

// Inside of CRL contexts, shared by the stores and chains of the layer.

#include "crypto/platform/crl_context.h"
#include "crypto/platform/openssl_ptr.h"

#include <atomic>
#include <memory>
#include <string>

namespace nxcrypto {
namespace csp {

struct StoreImpl;

struct CrlData {
    X509CrlPtr crl;
    std::vector<uint8_t> der;
    std::vector<uint8_t> sha1;
};

struct CrlEntry {
    std::shared_ptr<const CrlData> data;
    std::weak_ptr<StoreImpl> origin;
    std::string path;
};
using CrlSnapshot = std::vector<CrlEntry>;

struct CrlContext {
    std::atomic<int> references{1};
    std::shared_ptr<const CrlData> data;
    std::shared_ptr<StoreImpl> origin;
    std::string path;
    std::shared_ptr<const CrlSnapshot> snapshot;
    size_t position = 0;
};

std::shared_ptr<const CrlData> parseCrlData(const uint8_t* der, size_t size);
CrlContext* newCrlContext(const CrlEntry& entry);

} // namespace csp
} // namespace nxcrypto
