#pragma once

#include <QByteArray>

#include <string>

namespace nxcrypto {

// A PIN or a password in the bytes the provider layer takes; every copy is wiped when it goes.
class SecretBytes
{
public:
    // Takes the bytes and wipes the array they came in.
    explicit SecretBytes(QByteArray bytes);
    ~SecretBytes();
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;

    const std::string& text() const { return text_; }

private:
    std::string text_;
};

} // namespace nxcrypto
