#pragma once

// The files of a key container, shared by provider handles and administration.

#include "crypto/platform/openssl_ptr.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nxcrypto {
namespace csp {

// <root>/containers, and the directory of one container ("" for a name that
// cannot be stored, with the last error set).
std::string containersDirectory(bool machineKeyset);
std::string containerDirectory(const std::string& container, bool machineKeyset);

// "signature.key" / "exchange.key" and "signature.cer" / "exchange.cer"; "" for other specs.
std::string keyFileName(uint32_t keySpec);
std::string certificateFileName(uint32_t keySpec);

bool keyPemIsEncrypted(const std::vector<uint8_t>& pem);

// Reads a PEM private key. An encrypted key needs the PIN: without one it fails with
// SCARD_W_CARD_NOT_AUTHENTICATED, with a wrong one with SCARD_W_WRONG_CHV. A missing
// file fails with NTE_NO_KEY.
bool readKeyFile(const std::string& path, const std::string* pin, EvpPkeyPtr* key);
// Writes the key as PKCS#8 PEM, encrypted with the PIN when it is not empty.
bool writeKeyFile(const std::string& path, EVP_PKEY* key, const std::string& pin);

bool parsePrivateKeyPem(const std::string& pem, EvpPkeyPtr* key);

} // namespace csp
} // namespace nxcrypto
