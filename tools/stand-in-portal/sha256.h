#pragma once

#include <Poco/Crypto/DigestEngine.h>

#include <cstddef>
#include <string>

namespace standin {

// SHA-256 over data given in pieces.
class Sha256
{
public:
    Sha256() : m_engine("SHA256") {}

    void update(const char* data, std::size_t size) { m_engine.update(data, size); }
    // Lower-case hexadecimal digest; ends the computation.
    std::string hexDigest() { return Poco::Crypto::DigestEngine::digestToHex(m_engine.digest()); }

private:
    Poco::Crypto::DigestEngine m_engine;
};

} // namespace standin
