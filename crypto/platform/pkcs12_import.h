#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Keys brought from another workstation as a PKCS#12 file (PFX). Failures set the last error.
namespace nxcrypto {
namespace csp {

// Imports the GOST key of the PKCS#12 file with its certificate into the container as its key
// pair of keySpec (encrypted with the PIN when it is not empty), and the certification
// authorities among the file's other certificates into the store caStore (their number into
// *authorities when it is given). The file is read and checked whole before anything is
// written; a refused file leaves the provider root as it was:
//   CRYPT_E_BAD_ENCODE           the bytes are no PKCS#12 that can be read
//   ERROR_INVALID_PASSWORD       the password does not open it
//   NTE_NO_KEY                   it holds no private key
//   NTE_BAD_ALGID                its key is no GOST R 34.10-2001 or 2012 key
//   SCARD_E_NO_SUCH_CERTIFICATE  it holds no certificate of its key
//   NTE_EXISTS                   the container has a key pair of that kind already
bool importPkcs12Key(const std::string& container, bool machineKeyset, uint32_t keySpec,
                     const std::vector<uint8_t>& pfx, const std::string& password, const std::string& pin,
                     const std::string& caStore, size_t* authorities = nullptr);

} // namespace csp
} // namespace nxcrypto
