#pragma once

#include "crypto/platform/openssl_ptr.h"

#include <cstdint>
#include <string>
#include <vector>

// Fetches CRLs from the distribution points of certificates (http URLs only),
// bounded by a time-out, and keeps what it fetched in memory until the CRL's next update.
namespace nxcrypto {
namespace csp {

// The http URLs of the certificate's CRL distribution points.
std::vector<std::string> crlDistributionUrls(X509* certificate);

// The CRL at url (DER or PEM); null when it cannot be had within timeoutMs.
X509CrlPtr fetchCrl(const std::string& url, uint32_t timeoutMs);

} // namespace csp
} // namespace nxcrypto
