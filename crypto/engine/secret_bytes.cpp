#include "crypto/engine/secret_bytes.h"

#include <openssl/crypto.h>

namespace nxcrypto {

SecretBytes::SecretBytes(QByteArray bytes)
{
    text_.reserve(static_cast<size_t>(bytes.size()));
    text_.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    OPENSSL_cleanse(bytes.data(), static_cast<size_t>(bytes.size()));
}

SecretBytes::~SecretBytes() { OPENSSL_cleanse(&text_[0], text_.size()); }

} // namespace nxcrypto
