#pragma once

#include "crypto/platform/tls_client_config.h"

#include <string>

namespace nxcrypto {
namespace csp {

// The resumption key of a configuration: its server name, a digest of its trust and the
// client certificate it presents (null: none may be presented). Sessions made while the key
// was still locked thus never serve once it is unlocked, nor the other way round.
std::string tlsSessionKey(const TlsClientConfig& config, const X509* clientCertificate);

} // namespace csp
} // namespace nxcrypto
