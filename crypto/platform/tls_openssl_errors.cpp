#include "crypto/platform/tls_openssl_errors.h"

#include <openssl/err.h>

namespace nxcrypto {
namespace csp {

std::string takeOpenSslErrors(const std::string& fallback)
{
    std::string text;
    char buffer[256];
    while (const unsigned long code = ERR_get_error()) {
        ERR_error_string_n(code, buffer, sizeof buffer);
        if (!text.empty())
            text += "; ";
        text += buffer;
    }
    return text.empty() ? fallback : text;
}

} // namespace csp
} // namespace nxcrypto
