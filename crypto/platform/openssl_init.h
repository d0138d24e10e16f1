#pragma once

#include <string>

namespace nxcrypto {
namespace csp {

// Makes OpenSSL usable with GOST algorithms: loads the "gost" engine from code and
// makes it the default implementation of the algorithms it provides (keys,
// digests, ciphers, TLS suites). Safe to call from any thread and any number of
// times; only the first call does the work. The system openssl.cnf is neither
// required nor changed.
// Returns true when the GOST engine is ready; otherwise initOpenSslError() says why.
bool initOpenSsl();

// Why initOpenSsl() failed; empty after a successful initialisation.
std::string initOpenSslError();

} // namespace csp
} // namespace nxcrypto
