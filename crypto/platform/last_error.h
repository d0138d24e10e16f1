#pragma once

#include <cstdint>

namespace nxcrypto {
namespace csp {

// The code of the last failure on this thread (error_codes.h); every layer call
// that fails sets it, calls that succeed leave it as it was.
uint32_t getLastError();
void setLastError(uint32_t code);

// Sets the last error and returns the given failure value: `return fail(code, nullptr);`
template <typename T>
T fail(uint32_t code, T value)
{
    setLastError(code);
    return value;
}
inline bool fail(uint32_t code)
{
    setLastError(code);
    return false;
}

// The Windows-compatible code for a C library errno value.
uint32_t errorFromErrno(int errnoValue);

} // namespace csp
} // namespace nxcrypto
