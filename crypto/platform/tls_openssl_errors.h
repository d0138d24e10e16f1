#pragma once

#include <string>

namespace nxcrypto {
namespace csp {

// The texts of the calling thread's OpenSSL error queue, joined by "; " (the queue is
// emptied), or fallback when it holds none.
std::string takeOpenSslErrors(const std::string& fallback);

} // namespace csp
} // namespace nxcrypto
