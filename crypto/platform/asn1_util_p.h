#pragma once

#include <openssl/asn1.h>
#include <openssl/objects.h>

#include <cstdint>
#include <string>

namespace nxcrypto {
namespace csp {

// Seconds since 1970 UTC; false for a time that does not convert.
bool asn1TimeToUnix(const ASN1_TIME* time, int64_t* unixSeconds);

// Seconds since 1970 UTC, 0 for a missing or malformed time.
inline int64_t asn1TimeOrZero(const ASN1_TIME* time)
{
    int64_t value = 0;
    return time && asn1TimeToUnix(time, &value) ? value : 0;
}

// The dotted form of an OID.
inline std::string oidText(const ASN1_OBJECT* object)
{
    char buffer[128];
    const int length = OBJ_obj2txt(buffer, sizeof buffer, object, 1);
    return length > 0 && length < static_cast<int>(sizeof buffer) ? std::string(buffer, static_cast<size_t>(length))
                                                                  : std::string();
}

} // namespace csp
} // namespace nxcrypto
