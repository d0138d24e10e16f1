#pragma once

#include <cstdint>
#include <vector>

// Decoding of single ASN.1 values (attribute values of signed messages).
// Failures set CRYPT_E_ASN1_BADTAG or CRYPT_E_ASN1_CORRUPT.
namespace nxcrypto {
namespace csp {

// A UTCTime or GeneralizedTime, as seconds since 1970 UTC.
bool decodeTimeValue(const std::vector<uint8_t>& der, int64_t* unixSeconds);
// The content of an OCTET STRING.
bool decodeOctetStringValue(const std::vector<uint8_t>& der, std::vector<uint8_t>* bytes);

} // namespace csp
} // namespace nxcrypto
