#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// CRL contexts: one parsed certificate revocation list, reference counted.
namespace nxcrypto {
namespace csp {

struct CrlContext;

// A context of the DER CRL; a text that is no CRL fails with CRYPT_E_ASN1_BADTAG.
CrlContext* createCrlContext(const uint8_t* der, size_t size);
CrlContext* duplicateCrlContext(const CrlContext* context);
bool freeCrlContext(const CrlContext* context);

const std::vector<uint8_t>& crlEncoded(const CrlContext* context);
std::vector<uint8_t> crlIssuerName(const CrlContext* context);
// thisUpdate and nextUpdate in seconds since 1970 UTC; nextUpdate 0 when absent.
int64_t crlThisUpdate(const CrlContext* context);
int64_t crlNextUpdate(const CrlContext* context);
std::vector<uint8_t> crlSha1Thumbprint(const CrlContext* context);

} // namespace csp
} // namespace nxcrypto
