#pragma once

#include <string>

namespace standin {

// Text of the calling thread's OpenSSL error queue (emptied), or fallback when it is empty.
std::string takeOpenSslErrors(const std::string& fallback);

} // namespace standin
