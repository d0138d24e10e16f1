#include "support/local_ports.h"
#include "support/proxy_process.h"
#include "support/proxy_under_test.h"
#include "support/stand_in_portal_process.h"
#include "support/test_pki.h"
#include "support/workstation.h"

#include <Poco/Net/HTTPClientSession.h>
#include <Poco/Net/HTTPRequest.h>
#include <Poco/Net/HTTPResponse.h>
#include <Poco/StreamCopier.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

namespace {

struct Answer
{
    int status = 0;
    std::string location;
    std::string cookie;
    std::string body;
};

struct Header
{
    std::string name;
    std::string value;
};

// One request exactly as given: no helper adds the token.
Answer send(unsigned short port, const std::string& method, const std::string& target,
            const std::vector<Header>& headers, const std::string& body = std::string())
{
    Poco::Net::HTTPClientSession session("127.0.0.1", port);
    // Longer than the longest pause before a PIN is checked.
    session.setTimeout(Poco::Timespan(90, 0));
    Poco::Net::HTTPRequest request(method, target, Poco::Net::HTTPMessage::HTTP_1_1);
    for (const Header& header : headers) {
        if (header.name == "Host")
            request.setHost(header.value);
        else
            request.add(header.name, header.value);
    }
    if (!body.empty())
        request.setContentLength(static_cast<std::streamsize>(body.size()));
    session.sendRequest(request) << body;
    Poco::Net::HTTPResponse response;
    std::istream& in = session.receiveResponse(response);
    std::ostringstream text;
    Poco::StreamCopier::copyStream(in, text);
    return {response.getStatus(), response.get("Location", ""), response.get("Set-Cookie", ""), text.str()};
}

// The proxy in front of a stand-in portal that asks for no certificate, so that its echo
// answers without the key; the workstation trusts the portal's CA.
class ProxyAccess : public testing::Test
{
protected:
    std::filesystem::path directory = testsupport::TestPki::instance().makeTemporaryDirectory("access");
    Workstation workstation{Workstation::UserKeyAndRoots};
    testsupport::StandInPortalProcess portal{{"--client-auth", "none"}};
    ProxyUnderTest proxy{directory, portal.url(""), Workstation::keyName, {workstation.environment()}};
    const unsigned short port = proxy.port();
    const std::string host = "localhost:" + std::to_string(port);
    const Header bearer{"Authorization", "Bearer " + proxy.accessToken()};

    std::size_t portalRequests() const { return portal.requestLog().size(); }

    QJsonObject echo(const std::vector<Header>& headers, const std::string& target = "/test/echo")
    {
        const Answer answer = send(port, "GET", target, headers);
        EXPECT_EQ(answer.status, 200) << answer.body;
        return QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).object();
    }
};

TEST_F(ProxyAccess, OnlyRequestsAddressedToTheProxyByNameAreAnswered)
{
    const std::string portText = std::to_string(port);
    const struct
    {
        std::string host;
        bool answered;
    } cases[] = {
        {"attacker.example:" + portText, false},
        {"attacker.localhost:" + portText, false},
        {"", false},
        {"127.0.0.1:" + std::to_string(port == 65535 ? 1 : port + 1), false},
        {"192.168.0.1:" + portText, false},
        {"localhost:" + portText, true},
        {"127.0.0.1:" + portText, true},
        {"[::1]:" + portText, true},
    };
    for (const auto& c : cases) {
        const std::size_t before = portalRequests();
        const Answer local = send(port, "GET", "/local/rest/v1/ping", {{"Host", c.host}, bearer});
        const Answer forwarded = send(port, "GET", "/test/echo", {{"Host", c.host}, bearer});
        EXPECT_EQ(local.status, c.answered ? 204 : 421) << c.host;
        EXPECT_EQ(forwarded.status, c.answered ? 200 : 421) << c.host;
        EXPECT_EQ(portalRequests(), before + (c.answered ? 1 : 0)) << c.host;
    }
    EXPECT_NE(proxy.log().find("not addressed to the proxy"), std::string::npos);
}

TEST_F(ProxyAccess, RequestsOfOtherSitesReachNeitherTheProxyNorThePortal)
{
    const struct
    {
        const char* name;
        std::string method;
        std::vector<Header> headers;
        int local;     // GET ping or POST processes/clear
        int forwarded; // /test/echo
    } cases[] = {
        {"none", "POST", {}, 204, 200},
        {"own page", "POST", {{"Origin", "http://" + host}, {"Sec-Fetch-Site", "same-origin"}}, 204, 200},
        {"typed address", "GET", {{"Sec-Fetch-Site", "none"}, {"Sec-Fetch-Mode", "navigate"}}, 204, 200},
        {"form of another site", "POST",
         {{"Origin", "http://attacker.localhost:18950"}, {"Sec-Fetch-Site", "cross-site"}, {"Sec-Fetch-Mode", "navigate"}},
         403, 403},
        {"no-cors fetch", "POST",
         {{"Origin", "http://attacker.localhost:18950"}, {"Sec-Fetch-Site", "cross-site"}, {"Sec-Fetch-Mode", "no-cors"}},
         403, 403},
        {"image of another site", "GET", {{"Sec-Fetch-Site", "cross-site"}, {"Sec-Fetch-Mode", "no-cors"}}, 403, 403},
        {"link from another site", "GET", {{"Sec-Fetch-Site", "cross-site"}, {"Sec-Fetch-Mode", "navigate"}}, 403, 200},
        {"same site", "GET", {{"Sec-Fetch-Site", "same-site"}, {"Sec-Fetch-Mode", "no-cors"}}, 403, 403},
        {"null origin", "POST", {{"Origin", "null"}}, 403, 403},
        {"preflight", "OPTIONS",
         {{"Origin", "http://attacker.localhost:18950"}, {"Access-Control-Request-Method", "PUT"},
          {"Access-Control-Request-Private-Network", "true"}},
         403, 403},
    };
    for (const auto& c : cases) {
        std::vector<Header> headers = c.headers;
        headers.push_back({"Host", host});
        headers.push_back(bearer);
        const std::size_t before = portalRequests();
        const Answer local =
            send(port, c.method, c.method == "POST" ? "/local/rest/v1/processes/clear" : "/local/rest/v1/ping", headers);
        const Answer forwarded = send(port, c.method, "/test/echo", headers);
        EXPECT_EQ(local.status, c.local) << c.name << ": " << local.body;
        EXPECT_EQ(forwarded.status, c.forwarded) << c.name << ": " << forwarded.body;
        EXPECT_EQ(portalRequests(), before + (c.forwarded == 200 ? 1 : 0)) << c.name;
    }
    // Nor does another site stop the proxy.
    EXPECT_EQ(send(port, "GET", "/quit", {{"Host", host}, bearer, {"Sec-Fetch-Site", "cross-site"}}).status, 403);
    EXPECT_EQ(send(port, "GET", "/local/rest/v1/ping", {{"Host", host}, bearer}).status, 204);
}

TEST_F(ProxyAccess, TheTokenLetsInAndNeverReachesThePortal)
{
    const std::string token = proxy.accessToken();
    const std::string cookie = "velmar_proxy_token=" + token;
    EXPECT_EQ(send(port, "GET", "/local/rest/v1/ping", {{"Host", host}}).status, 401);
    EXPECT_EQ(send(port, "GET", "/local/rest/v1/ping", {{"Host", host}, {"Authorization", "Bearer wrong"}}).status, 401);
    EXPECT_EQ(send(port, "GET", "/test/echo", {{"Host", host}, {"Cookie", "velmar_proxy_token=" + token + "0"}}).status,
              401);
    const Answer page = send(port, "GET", "/webclient/", {{"Host", host}, {"Sec-Fetch-Mode", "navigate"}});
    EXPECT_EQ(page.status, 401);
    EXPECT_NE(page.body.find("velmar-portal-proxy --url"), std::string::npos);

    // The first navigation brings it in the query and leaves with the cookie.
    const Answer opened = send(port, "GET", "/test/echo?a=1&token=" + token, {{"Host", host}});
    EXPECT_EQ(opened.status, 302);
    EXPECT_EQ(opened.location, "/test/echo?a=1");
    EXPECT_EQ(opened.cookie, cookie + "; HttpOnly; SameSite=Lax; Path=/");

    const QJsonObject byCookie =
        echo({{"Host", host}, {"Cookie", "portal=1; " + cookie + "; lang=ru"}}, "/test/echo?a=1&token=portal-own");
    const QJsonObject byHeader = echo({{"Host", host}, {"Authorization", "Bearer " + token}});
    for (const QJsonObject& seen : {byCookie, byHeader}) {
        const QString text = QString::fromUtf8(QJsonDocument(seen).toJson());
        EXPECT_FALSE(text.contains(QString::fromStdString(token))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("velmar_proxy_token"))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("Authorization"), Qt::CaseInsensitive)) << text.toStdString();
    }
    // What is not the proxy's goes on as it came.
    EXPECT_EQ(byCookie["target"].toString().toStdString(), "/test/echo?a=1&token=portal-own");
    bool portalCookie = false;
    for (const QJsonValue& header : byCookie["headers"].toArray())
        portalCookie |= header.toArray()[1].toString() == QLatin1String("portal=1; lang=ru");
    EXPECT_TRUE(portalCookie) << QJsonDocument(byCookie).toJson().toStdString();
}

TEST(ProxyAccessUrl, PrintsTheAddressWithTheTokenOfTheConfiguration)
{
    ProxyProcess proxy;
    const unsigned short port = freeLocalPort();
    const QString config = proxy.writeConfig(port);
    EXPECT_EQ(proxy.run({QStringLiteral("--url"), QStringLiteral("-c"), config}), 0);
    const std::string printed = proxy.standardOutput().toStdString();
    const std::string token = proxy.accessToken();
    ASSERT_EQ(token.size(), 64U);
    EXPECT_EQ(printed, "http://localhost:" + std::to_string(port) + "/?token=" + token + "\n");
    // The same token on the next start.
    ProxyProcess again(proxy.home().path());
    EXPECT_EQ(again.run({QStringLiteral("--url"), QStringLiteral("-c"), config}), 0);
    EXPECT_EQ(again.standardOutput().toStdString(), printed);
}

TEST(PinGuessing, TenWrongPinsTakeTheirPausesAndTheRightOneStillWorks)
{
    const std::filesystem::path directory = testsupport::TestPki::instance().makeTemporaryDirectory("pins");
    Workstation workstation{Workstation::UserKeyAndRoots};
    ProxyUnderTest proxy{directory, "https://localhost:1", Workstation::keyName, {workstation.environment()}};
    const Header bearer{"Authorization", "Bearer " + proxy.accessToken()};
    const Header host{"Host", "127.0.0.1:" + std::to_string(proxy.port())};

    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 10; ++i) {
        const Answer wrong = send(proxy.port(), "POST", "/local/rest/v1/crypto/setkp", {host, bearer}, "9999");
        EXPECT_EQ(wrong.status, 403) << wrong.body;
        EXPECT_NE(wrong.body.find("SCARD_W_WRONG_CHV"), std::string::npos) << wrong.body;
    }
    // After three free attempts: 1 + 2 + 4 + 8 + 16 + 32 + 60 seconds.
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds(123));
    EXPECT_EQ(send(proxy.port(), "POST", "/local/rest/v1/crypto/setkp", {host, bearer}, Workstation::pin).status, 204);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds(183));
    // One record for each pause.
    std::size_t pauses = 0;
    for (const std::string& record : proxy.records("WARN"))
        pauses += record.find("wrong PINs in a row") != std::string::npos;
    EXPECT_EQ(pauses, 8U) << proxy.log();
    EXPECT_EQ(proxy.log().find("9999"), std::string::npos);
}

} // namespace
