#pragma once

// Inside of CRL contexts, shared by the stores and chains of the layer.

#include "crypto/platform/crl_context.h"
#include "crypto/platform/store_context_p.h"

namespace nxcrypto {
namespace csp {

using CrlData = DerObject<X509_CRL>;
using CrlEntry = StoreEntry<CrlData>;
using CrlSnapshot = StoreSnapshot<CrlData>;

struct CrlContext : StoreContext<CrlData>
{
    using StoreContext::StoreContext;
};

std::shared_ptr<const CrlData> parseCrlData(const uint8_t* der, size_t size);
CrlContext* newCrlContext(const CrlEntry& entry);

} // namespace csp
} // namespace nxcrypto
