#pragma once

#include "crypto/platform/openssl_ptr.h"

#include <cstddef>
#include <string>

namespace standin {

// SHA-256 over data given in pieces.
class Sha256 {
public:
    Sha256();

    void update(const char* data, std::size_t size);
    // Lower-case hexadecimal digest; ends the computation.
    std::string hexDigest();

private:
    nxcrypto::csp::EvpMdCtxPtr context_;
};

} // namespace standin
