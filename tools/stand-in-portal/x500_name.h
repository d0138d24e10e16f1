#pragma once

#include <openssl/x509.h>

#include <string>

namespace standin {

// The name as "CN=..., O=..., C=..." in the order of its encoding, UTF-8, RFC 2253 escapes.
std::string x500NameText(const X509_NAME* name);

} // namespace standin
