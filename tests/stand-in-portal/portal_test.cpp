#include "support/command.h"
#include "support/portal_curl.h"
#include "support/portal_test_suite.h"
#include "support/stand_in_portal_process.h"
#include "support/test_pki.h"
#include "tools/stand-in-portal/pseudo_random_bytes.h"
#include "tools/stand-in-portal/sha256.h"

#include <Poco/Net/SocketAddress.h>
#include <Poco/Net/StreamSocket.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <utility>

using testsupport::CommandResult;
using testsupport::curl;
using testsupport::curlAsUser;
using testsupport::StandInPortalProcess;
using testsupport::TestPki;

namespace {

const std::string kUserSubject = "CN=Иванов Иван Иванович, E=ivanov@example.test, O=ООО Ромашка, C=RU";

QJsonObject json(const std::string& text) { return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object(); }

std::string jsonText(const QJsonValue& value) { return value.toString().toStdString(); }

std::string testBytes(std::size_t size)
{
    std::string bytes(size, '\0');
    standin::PseudoRandomBytes().fill(bytes.data(), size);
    return bytes;
}

std::string testBytesSha256(std::uint64_t size)
{
    standin::Sha256 digest;
    standin::PseudoRandomBytes().generate(size, [&digest](const char* data, std::size_t count) {
        digest.update(data, count);
    });
    return digest.hexDigest();
}

class OptionalClientAuthPortal : public testsupport::OptionalClientAuthPortalSuite
{};

TEST(PortalClientAuth, EachModeAsksForTheCertificateAsItSays)
{
    const struct
    {
        std::string mode;
        bool presentCertificate;
        bool handshakeCompletes;
        std::string userLine;
    } cases[] = {
        {"require", true, true, "Signed in as " + kUserSubject},
        {"require", false, false, ""},
        {"optional", true, true, "Signed in as " + kUserSubject},
        {"optional", false, true, "No client certificate"},
        {"none", true, true, "No client certificate"},
    };
    for (const auto& c : cases) {
        StandInPortalProcess portal({"--client-auth", c.mode});
        const std::string url = portal.url("/webclient/");
        const CommandResult result = c.presentCertificate ? curlAsUser({url}) : curl({url});
        const std::string label = c.mode + (c.presentCertificate ? " with" : " without") + " certificate";
        if (!c.handshakeCompletes) {
            EXPECT_NE(result.exitStatus, 0) << label;
            EXPECT_TRUE(portal.requestLog().empty()) << label;
            continue;
        }
        ASSERT_EQ(result.exitStatus, 0) << label << ": " << result.errors;
        EXPECT_NE(result.output.find(c.userLine), std::string::npos) << label << ": " << result.output;
        ASSERT_EQ(portal.requestLog().size(), 1u) << label;
    }
}

TEST(PortalClientAuth, CertificateOfAnotherCaIsRefused)
{
    StandInPortalProcess portal({"--client-auth", "optional"});
    const TestPki& pki = TestPki::instance();
    const CommandResult result = curl(
        {"--cert", pki.file("rsa.pem").string(), "--key", pki.file("rsa.key.pem").string(), portal.url("/webclient/")});
    EXPECT_NE(result.exitStatus, 0);
    EXPECT_TRUE(portal.requestLog().empty());
}

TEST_F(OptionalClientAuthPortal, EchoShowsTheRequestAsReceivedAndLogsIt)
{
    const std::string target = "/test/echo?q=a%20b&path=%2Fx%2F&empty=";
    const CommandResult result = curlAsUser({"-X", "PUT", "-H", "X-Probe: one", "-H", "Content-Type: text/plain",
                                             "--data-binary", "hello portal", portal().url(target)});
    ASSERT_EQ(result.exitStatus, 0) << result.errors;
    const QJsonObject echo = json(result.output);
    EXPECT_EQ(jsonText(echo["method"]), "PUT");
    EXPECT_EQ(jsonText(echo["target"]), target);
    EXPECT_EQ(jsonText(echo["clientSubject"]), kUserSubject);
    EXPECT_EQ(echo["bodyLength"].toInt(), 12);
    standin::Sha256 digest;
    digest.update("hello portal", 12);
    EXPECT_EQ(jsonText(echo["bodySha256"]), digest.hexDigest());
    const QJsonArray headers = echo["headers"].toArray();
    ASSERT_GE(headers.size(), 2);
    EXPECT_EQ(headers[0].toArray()[0].toString(), "Host");
    EXPECT_EQ(jsonText(headers[0].toArray()[1]), "localhost:" + std::to_string(portal().port()));
    EXPECT_TRUE(headers.contains(QJsonArray{"X-Probe", "one"}));

    const QJsonObject logged = json(portal().requestLog().back());
    EXPECT_EQ(jsonText(logged["method"]), "PUT");
    EXPECT_EQ(jsonText(logged["target"]), target);
    EXPECT_EQ(jsonText(logged["clientSubject"]), kUserSubject);
    EXPECT_EQ(logged["headers"].toArray(), headers);
}

TEST_F(OptionalClientAuthPortal, RequestsWithoutCertificateAreLoggedWithoutSubject)
{
    ASSERT_EQ(curl({portal().url("/test/echo")}).exitStatus, 0);
    const QJsonObject logged = json(portal().requestLog().back());
    EXPECT_TRUE(logged["clientSubject"].isNull());
}

TEST_F(OptionalClientAuthPortal, UploadOf50MegabytesIsStreamedAndDigested)
{
    const std::filesystem::path file = TestPki::instance().makeTemporaryDirectory("upload") / "body.bin";
    constexpr std::uint64_t kSize = 50'000'000;
    {
        std::ofstream out(file, std::ios::binary);
        standin::PseudoRandomBytes().generate(kSize,
                                              [&out](const char* data, std::size_t size) { out.write(data, size); });
    }
    const std::string expected = testBytesSha256(kSize);
    const struct
    {
        std::string label;
        std::vector<std::string> framing;
    } cases[] = {
        {"Content-Length", {}},
        {"chunked", {"-H", "Transfer-Encoding: chunked"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.framing;
        arguments.insert(arguments.end(), {"-X", "POST", "-T", file.string(), portal().url("/test/upload")});
        const CommandResult result = curlAsUser(arguments);
        ASSERT_EQ(result.exitStatus, 0) << c.label << ": " << result.errors;
        const QJsonObject answer = json(result.output);
        EXPECT_EQ(answer["bodyLength"].toDouble(), static_cast<double>(kSize)) << c.label;
        EXPECT_EQ(jsonText(answer["bodySha256"]), expected) << c.label;
    }
}

TEST_F(OptionalClientAuthPortal, DownloadsCarryTheTestBytes)
{
    const struct
    {
        std::uint64_t size;
        bool chunked;
    } cases[] = {
        {0, false}, {1, false}, {65537, false}, {0, true}, {3'000'001, true}, {500'000'000, false},
    };
    for (const auto& c : cases) {
        standin::Sha256 digest;
        std::uint64_t received = 0;
        const std::string target = "/test/download?size=" + std::to_string(c.size) + (c.chunked ? "&chunked=1" : "");
        const auto start = std::chrono::steady_clock::now();
        const CommandResult result =
            curlAsUser({"-D", "/dev/stderr", portal().url(target)}, [&](const char* data, std::size_t size) {
                digest.update(data, size);
                received += size;
            });
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        ASSERT_EQ(result.exitStatus, 0) << target << ": " << result.errors;
        EXPECT_EQ(received, c.size) << target;
        EXPECT_EQ(digest.hexDigest(), testBytesSha256(c.size)) << target;
        const std::string framing =
            c.chunked ? "Transfer-Encoding: chunked" : "Content-Length: " + std::to_string(c.size);
        EXPECT_NE(result.errors.find(framing), std::string::npos) << target << ": " << result.errors;
        if (c.size >= 100'000'000)
            std::cout << "[ measure  ] " << target << ": " << c.size / 1e6 / elapsed.count() << " MB/s" << std::endl;
    }
}

TEST_F(OptionalClientAuthPortal, ChunksHaveTheAskedSizesAndEndPromptlyWhenTheEndIsSplit)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"&split=1", ""},
        {"&trailer=1", "X-Test-Chunks: 3\r\nX-Test-End: 1\r\n"},
        {"&split=1&trailer=1", "X-Test-Chunks: 3\r\nX-Test-End: 1\r\n"},
    };
    for (const auto& [options, trailer] : cases) {
        const std::string target = std::string("/test/chunks?sizes=1,100,1048576") + options;
        const auto start = std::chrono::steady_clock::now();
        const CommandResult result = curlAsUser({"--raw", portal().url(target)});
        const auto elapsed = std::chrono::steady_clock::now() - start;
        ASSERT_EQ(result.exitStatus, 0) << result.errors;
        const std::string bytes = testBytes(1 + 100 + 1048576);
        const std::string expected = "1\r\n" + bytes.substr(0, 1) + "\r\n64\r\n" + bytes.substr(1, 100)
            + "\r\n100000\r\n" + bytes.substr(101) + "\r\n0\r\n" + trailer + "\r\n";
        EXPECT_TRUE(result.output == expected) << target << ": " << result.output.size() << " bytes";
        EXPECT_LT(elapsed, std::chrono::seconds(5)) << target;
    }
}

TEST_F(OptionalClientAuthPortal, RedirectsPointAtThePortalOrElsewhere)
{
    const struct
    {
        std::string to;
        std::string status;
        std::string location;
    } cases[] = {
        {"self", "302", "https://localhost:" + std::to_string(portal().port()) + "/webclient/"},
        {"elsewhere", "302", "http://example.invalid/x"},
        {"nowhere", "400", ""},
    };
    for (const auto& c : cases) {
        const CommandResult result = curlAsUser(
            {"-o", "/dev/null", "-w", "%{http_code} %{redirect_url}", portal().url("/test/redirect?to=" + c.to)});
        ASSERT_EQ(result.exitStatus, 0) << result.errors;
        EXPECT_EQ(result.output, c.status + " " + c.location) << c.to;
    }
}

TEST_F(OptionalClientAuthPortal, BadRequestsGetAClearAnswer)
{
    const struct
    {
        std::vector<std::string> request;
        std::string status;
        std::string message;
    } cases[] = {
        {{"/no/such/page"}, "404", "no such page: /no/such/page"},
        {{"-X", "POST", "/test/download?size=1"}, "405", "allowed methods: GET"},
        {{"/test/download?size=abc"}, "400", "size must be a whole number"},
        {{"/test/download?size=-1"}, "400", "size must be a whole number"},
        {{"/test/chunks?sizes=1,,2"}, "400", "sizes must be a whole number from 1"},
        {{"/test/chunks?sizes=0"}, "400", "sizes must be a whole number from 1"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"-w", "\n%{http_code}"};
        arguments.insert(arguments.end(), c.request.begin(), c.request.end() - 1);
        arguments.push_back(portal().url(c.request.back()));
        const CommandResult result = curlAsUser(arguments);
        ASSERT_EQ(result.exitStatus, 0) << result.errors;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
        EXPECT_EQ(result.output.substr(result.output.size() - 3), c.status) << result.output;
    }
}

TEST_F(OptionalClientAuthPortal, KeepAliveServesSeveralRequestsOnOneConnection)
{
    const std::size_t before = portal().requestLog().size();
    const CommandResult result =
        curlAsUser({"-o", "/dev/null", "-o", "/dev/null", "-o", "/dev/null", portal().url("/test/download?size=70000"),
                    portal().url("/no/such/page"), portal().url("/test/echo")});
    ASSERT_EQ(result.exitStatus, 0) << result.errors;
    const std::vector<std::string> log = portal().requestLog();
    ASSERT_EQ(log.size(), before + 3);
    const std::string peer = jsonText(json(log[before])["peer"]);
    EXPECT_EQ(jsonText(json(log[before + 1])["peer"]), peer);
    EXPECT_EQ(jsonText(json(log[before + 2])["peer"]), peer);
}

TEST_F(OptionalClientAuthPortal, ExpectContinueIsAnsweredBeforeTheBody)
{
    const std::string body = "body after the invitation";
    const auto start = std::chrono::steady_clock::now();
    const CommandResult result = curlAsUser({"-H", "Expect: 100-continue", "--expect100-timeout", "20", "--data-binary",
                                             body, portal().url("/test/upload")});
    ASSERT_EQ(result.exitStatus, 0) << result.errors;
    EXPECT_EQ(json(result.output)["bodyLength"].toInt(), static_cast<int>(body.size()));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(PortalTimeouts, SilentClientIsDroppedAfterTheIoTimeout)
{
    StandInPortalProcess portal({"--io-timeout", "1"});
    Poco::Net::StreamSocket socket(Poco::Net::SocketAddress("127.0.0.1", portal.port()));
    socket.setReceiveTimeout(Poco::Timespan(15, 0));
    const auto start = std::chrono::steady_clock::now();
    char byte;
    int received = -1;
    try {
        received = socket.receiveBytes(&byte, 1);
    } catch (const Poco::Exception&) {
        received = 0; // reset by the portal: dropped as well
    }
    EXPECT_EQ(received, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(PortalTimeouts, StopsPromptlyWithAnIdleConnectionOpen)
{
    StandInPortalProcess portal;
    Poco::Net::StreamSocket socket(Poco::Net::SocketAddress("127.0.0.1", portal.port()));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(portal.process().stop(std::chrono::seconds(5)), 0);
}

TEST(PortalCipherSuites, Gost2012BothIdsAndGost2001AreServed)
{
    const TestPki& pki = TestPki::instance();
    // The 2001 suite needs a 2001 server key; the user's 2001 pair stands in for one.
    StandInPortalProcess portal(
        {"--cert", pki.file("user2001.pem").string(), "--key", pki.file("user2001.key.pem").string()});
    for (const std::string suite :
         {"IANA-GOST2012-GOST8912-GOST8912", "LEGACY-GOST2012-GOST8912-GOST8912", "GOST2001-GOST89-GOST89"}) {
        // Without verification: the stand-in 2001 certificate names no host.
        const CommandResult result =
            curlAsUser({"-v", "-k", "--tls-max", "1.2", "--ciphers", suite, portal.url("/webclient/")});
        EXPECT_EQ(result.exitStatus, 0) << suite << ": " << result.errors;
        EXPECT_NE(result.errors.find("SSL connection using TLSv1.2 / " + suite), std::string::npos) << result.errors;
    }
}

} // namespace
