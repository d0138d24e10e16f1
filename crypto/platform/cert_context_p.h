#pragma once

// Inside of certificate contexts, shared by the stores and chains of the layer.

#include "crypto/platform/cert_context.h"
#include "crypto/platform/store_context_p.h"

#include <mutex>
#include <optional>

namespace nxcrypto {
namespace csp {

using CertData = DerObject<X509>;
using CertEntry = StoreEntry<CertData>;
using CertSnapshot = StoreSnapshot<CertData>;

struct CertContext : StoreContext<CertData>
{
    using StoreContext::StoreContext;
    mutable std::mutex mutex;
    std::optional<KeyProvInfo> keyProvInfo;
};

std::shared_ptr<const CertData> parseCertData(const uint8_t* der, size_t size);
std::shared_ptr<const CertData> certDataFromX509(X509* certificate);
CertContext* newCertContext(const CertEntry& entry);

} // namespace csp
} // namespace nxcrypto
