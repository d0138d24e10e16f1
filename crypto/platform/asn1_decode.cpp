#include "crypto/platform/asn1_decode.h"

#include "crypto/platform/asn1_util_p.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/openssl_ptr.h"

#include <openssl/err.h>

#include <ctime>

namespace nxcrypto {
namespace csp {

bool asn1TimeToUnix(const ASN1_TIME* time, int64_t* unixSeconds)
{
    struct tm parts = {};
    if (!ASN1_TIME_to_tm(time, &parts))
        return false;
    *unixSeconds = static_cast<int64_t>(timegm(&parts));
    return true;
}

bool decodeTimeValue(const std::vector<uint8_t>& der, int64_t* unixSeconds)
{
    const unsigned char* cursor = der.data();
    OpenSslPtr<ASN1_TIME> time(d2i_ASN1_TIME(nullptr, &cursor, static_cast<long>(der.size())));
    if (!time) {
        ERR_clear_error();
        return fail(err::kCryptEAsn1BadTag);
    }
    if (!asn1TimeToUnix(time.get(), unixSeconds))
        return fail(err::kCryptEAsn1Corrupt);
    return true;
}

bool decodeOctetStringValue(const std::vector<uint8_t>& der, std::vector<uint8_t>* bytes)
{
    const unsigned char* cursor = der.data();
    OpenSslPtr<ASN1_OCTET_STRING> value(d2i_ASN1_OCTET_STRING(nullptr, &cursor, static_cast<long>(der.size())));
    if (!value) {
        ERR_clear_error();
        return fail(err::kCryptEAsn1BadTag);
    }
    const unsigned char* data = ASN1_STRING_get0_data(value.get());
    bytes->assign(data, data + ASN1_STRING_length(value.get()));
    return true;
}

} // namespace csp
} // namespace nxcrypto
