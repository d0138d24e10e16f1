#pragma once

#include <cstdint>

// The security-package codes the TLS client reports through the layer's last error.
namespace nxcrypto {
namespace csp {
namespace err {

constexpr uint32_t kSecEInternalError = 0x80090304;     // SEC_E_INTERNAL_ERROR
constexpr uint32_t kSecEIncompleteMessage = 0x80090318; // SEC_E_INCOMPLETE_MESSAGE
constexpr uint32_t kSecEWrongPrincipal = 0x80090322;    // SEC_E_WRONG_PRINCIPAL
constexpr uint32_t kSecEUntrustedRoot = 0x80090325;     // SEC_E_UNTRUSTED_ROOT
constexpr uint32_t kSecECertUnknown = 0x80090327;       // SEC_E_CERT_UNKNOWN
constexpr uint32_t kSecECertExpired = 0x80090328;       // SEC_E_CERT_EXPIRED
constexpr uint32_t kSecEAlgorithmMismatch = 0x80090331; // SEC_E_ALGORITHM_MISMATCH

} // namespace err
} // namespace csp
} // namespace nxcrypto
