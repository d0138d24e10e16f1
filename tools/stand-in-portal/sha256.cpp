#include "sha256.h"

#include <cstdio>
#include <stdexcept>

namespace standin {

Sha256::Sha256()
    : context_(EVP_MD_CTX_new())
{
    if (!context_ || EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 is not available");
}

void Sha256::update(const char* data, std::size_t size)
{
    EVP_DigestUpdate(context_.get(), data, size);
}

std::string Sha256::hexDigest()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_DigestFinal_ex(context_.get(), digest, &size);
    std::string text;
    char pair[3];
    for (unsigned int i = 0; i < size; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        text += pair;
    }
    return text;
}

} // namespace standin
