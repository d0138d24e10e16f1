#pragma once

// Storing a key pair into a container, shared by the imports of PEM keys and of PKCS#12 files.

#include "crypto/platform/cert_context_p.h"

#include <cstdint>
#include <string>

namespace nxcrypto {
namespace csp {

// The container can take a key pair of keySpec: the kind is known (NTE_BAD_KEY otherwise), the
// name can be stored and the container has no such key pair yet (NTE_EXISTS). Writes nothing.
bool canStoreContainerKey(const std::string& container, bool machineKeyset, uint32_t keySpec);

// Writes the key (encrypted with the PIN when it is not empty) and its certificate as the
// container's key pair of keySpec; a certificate of another key fails with NTE_BAD_PUBLIC_KEY.
bool storeContainerKey(const std::string& container, bool machineKeyset, uint32_t keySpec, EVP_PKEY* key,
                       const CertData& certificate, const std::string& pin);

} // namespace csp
} // namespace nxcrypto
