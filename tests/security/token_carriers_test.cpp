#include "security/token_carriers.h"

#include <Poco/Net/HTTPRequest.h>

#include <gtest/gtest.h>

namespace {

using tessel::security::TokenCarriers;

const std::string token = "00112233445566778899aabbccddeeff";
const TokenCarriers carriers(token);

TEST(TokenCarriers, StrippingTakesOutOnlyWhatCarriesTheToken)
{
    Poco::Net::HTTPRequest request("GET", "/x?a=1&token=" + token + "&token=other", Poco::Net::HTTPMessage::HTTP_1_1);
    request.add("Cookie", "JSESSIONID=abc; velmar_proxy_token=" + token + "; lang=ru");
    request.add("Cookie", "velmar_proxy_token=" + token);
    request.add("Authorization", "Bearer " + token);
    request.add("X-Session-Id", "s-1");
    carriers.strip(request);

    EXPECT_EQ(request.getURI(), "/x?a=1&token=other");
    EXPECT_EQ(request.get("Cookie"), "JSESSIONID=abc; lang=ru");
    std::size_t cookies = 0;
    for (const auto& [name, value] : request)
        cookies += name == "Cookie";
    EXPECT_EQ(cookies, 1U);
    EXPECT_FALSE(request.has("Authorization"));
    EXPECT_EQ(request.get("X-Session-Id"), "s-1");
}

TEST(TokenCarriers, ThePortalsOwnAuthorizationAndCookiesStay)
{
    Poco::Net::HTTPRequest request("POST", "/login?token=portal-own", Poco::Net::HTTPMessage::HTTP_1_1);
    request.add("Authorization", "Bearer portal-issued");
    request.add("Cookie", "velmar_proxy_tokenx=1");
    carriers.strip(request);
    EXPECT_EQ(request.getURI(), "/login?token=portal-own");
    EXPECT_EQ(request.get("Authorization"), "Bearer portal-issued");
    EXPECT_EQ(request.get("Cookie"), "velmar_proxy_tokenx=1");
}

TEST(TokenCarriers, ATokenEncodedInTheQueryIsFoundAndTaken)
{
    const std::string target = "/p?%74oken=" + token;
    EXPECT_TRUE(carriers.inQuery(target));
    EXPECT_EQ(carriers.withoutQueryToken(target), "/p");
    EXPECT_FALSE(carriers.inQuery("/p?token="));
    EXPECT_FALSE(carriers.inQuery("/p"));
}

} // namespace
