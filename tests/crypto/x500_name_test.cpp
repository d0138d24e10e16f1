#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/x500_name.h"

#include <gtest/gtest.h>

using namespace nxcrypto::csp;

namespace {

std::string roundTrip(const std::string& text, uint32_t flags = 0)
{
    std::vector<uint8_t> der;
    EXPECT_TRUE(stringToName(text, flags, &der)) << text;
    std::string back;
    EXPECT_TRUE(nameToString(der, &back));
    return back;
}

} // namespace

TEST(X500Name, TextsSurviveEncodingWithEveryStringTypeChoice)
{
    const std::string cases[] = {
        "CN=Иванов Иван Иванович, E=ivanov@example.test, O=ООО Ромашка, C=RU",
        "C=RU, O=Velmar Test, CN=Velmar Test Root CA 2012",
        "CN=\"Рога, копыта и \"\"Ко\"\"\", OU=\" lead\"",
        "CN=a + OU=b, O=c",
        "INN=007701234567, OGRN=1027700132195, SNILS=12345678901, CN=x",
        "OID.1.2.3.4=value, CN=y",
        "CN=\"\"",
        "CN=\"\tlead\", OU=\"trail\t\"", // tabs the parser would skip stay quoted
    };
    for (uint32_t flags : {0u, kNameStrEnableUtf8Unicode, kNameStrForceUtf8DirStr})
        for (const std::string& text : cases)
            EXPECT_EQ(roundTrip(text, flags), text) << flags;
}

TEST(X500Name, KeysAreCaseInsensitiveAndSeparatorsFlexible)
{
    EXPECT_EQ(roundTrip("cn = Alpha;o=Beta"), "CN=Alpha, O=Beta");
    EXPECT_EQ(roundTrip("emailAddress=a@b, St=Moscow"), "E=a@b, S=Moscow");
    EXPECT_EQ(roundTrip(""), "");
}

TEST(X500Name, MalformedTextsAreRefused)
{
    for (const std::string text : {"CN", "XX=1", "CN=\"open", "CN=a, =b", "OID.1.x=1", "CN=#zz"}) {
        std::vector<uint8_t> der;
        setLastError(0);
        EXPECT_FALSE(stringToName(text, 0, &der)) << text;
        EXPECT_EQ(getLastError(), err::kCryptEInvalidX500String) << text;
    }
}
