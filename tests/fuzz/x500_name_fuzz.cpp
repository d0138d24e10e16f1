// X.500 names both ways: DER names from certificates to text, and the text of a name the user
// gives for a new certificate request to DER.
#include "crypto/platform/openssl_init.h"
#include "crypto/platform/x500_name.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

namespace nc = nxcrypto::csp;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!nc::initOpenSsl())
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const uint32_t flags = provider.ConsumeBool() ? nc::kNameStrEnableUtf8Unicode : nc::kNameStrForceUtf8DirStr;
    const std::vector<uint8_t> bytes = provider.ConsumeRemainingBytes<uint8_t>();

    // The text of a name, encoded again, must read as the same text.
    std::string text;
    std::vector<uint8_t> encoded;
    if (nc::nameToString(bytes, &text) && nc::stringToName(text, flags, &encoded)) {
        std::string again;
        if (!nc::nameToString(encoded, &again) || again != text)
            std::abort();
    }

    std::vector<uint8_t> der;
    if (nc::stringToName(std::string(bytes.begin(), bytes.end()), flags, &der)) {
        std::string back;
        if (!nc::nameToString(der, &back))
            std::abort(); // what we encode ourselves must read back
    }
    return 0;
}
