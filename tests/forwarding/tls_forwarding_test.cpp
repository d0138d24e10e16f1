#include "support/curl_client.h"
#include "support/local_ports.h"
#include "support/proxy_under_test.h"
#include "support/stand_in_portal_process.h"
#include "support/test_pki.h"
#include "support/workstation.h"

#include "tools/stand-in-portal/pseudo_random_bytes.h"

#include <Poco/String.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <numeric>

namespace {

// Sizes of the big transfers. The sanitized build runs the GOST cipher of every byte under
// instrumentation, so it moves less; the plain build and the benchmark move the full sizes.
#ifdef VPP_SANITIZED_BUILD
constexpr std::uint64_t uploadSize = 50ull << 20;
constexpr std::uint64_t downloadSize = 100ull << 20;
constexpr long peakMemoryBoundKib = 160 << 10;
#else
constexpr std::uint64_t uploadSize = 50ull << 20;
constexpr std::uint64_t downloadSize = 500ull << 20;
constexpr long peakMemoryBoundKib = 80 << 10;
#endif

// The proxy's environment. Freed memory that AddressSanitizer keeps in quarantine (256 MiB by
// default) would hide whether the proxy's own memory stays flat, so the sanitized proxy keeps less.
std::vector<std::string> proxyEnvironment(const Workstation& workstation)
{
    std::vector<std::string> environment = {workstation.environment()};
#ifdef VPP_SANITIZED_BUILD
    const char* options = std::getenv("ASAN_OPTIONS");
    environment.push_back(std::string("ASAN_OPTIONS=") + (options ? options : "") + ":quarantine_size_mb=8");
#endif
    return environment;
}

QJsonObject jsonOf(const CurlAnswer& answer)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).object();
}

QString headerOf(const QJsonObject& echo, const QString& name)
{
    for (const QJsonValue& header : echo["headers"].toArray()) {
        if (header.toArray()[0].toString().compare(name, Qt::CaseInsensitive) == 0)
            return header.toArray()[1].toString();
    }
    return QString();
}

class TlsForwarding : public testing::Test
{
protected:
    std::filesystem::path directory = testsupport::TestPki::instance().makeTemporaryDirectory("forwarding");
    Workstation workstation{Workstation::UserKeyAndRoots};
    testsupport::StandInPortalProcess portal{{"--client-auth", "require"}};
    ProxyUnderTest proxy{directory, portal.url(""), Workstation::keyName, proxyEnvironment(workstation)};

    std::string portalAuthority() const { return "localhost:" + std::to_string(portal.port()); }

    void unlockKey()
    {
        const CurlAnswer answer =
            runCurl({"-X", "POST", "--data-binary", Workstation::pin, proxy.url("/local/rest/v1/crypto/setkp")});
        ASSERT_EQ(answer.exitStatus, 0) << answer.errors;
        ASSERT_LT(answer.status, 300) << answer.body;
    }
};

TEST_F(TlsForwarding, PortalAsksForTheCertificateBeforeAndGetsItAfterTheKeyIsUnlocked)
{
    const CurlAnswer locked = runCurl({proxy.url("/webclient/")});
    EXPECT_EQ(locked.exitStatus, 0) << locked.errors;
    EXPECT_EQ(locked.status, 302);
    EXPECT_EQ(locked.header("location"), "/local/#auth");
    EXPECT_EQ(locked.bodySize, 0u);
    const std::vector<std::string> infos = proxy.records("INFO");
    EXPECT_TRUE(std::any_of(infos.begin(), infos.end(), [](const std::string& record) {
        return record.find("Client auth needed") != std::string::npos;
    })) << proxy.log();

    unlockKey();
    const CurlAnswer unlocked = runCurl({proxy.url("/webclient/")});
    EXPECT_EQ(unlocked.status, 200);
    EXPECT_NE(unlocked.body.find("Signed in as"), std::string::npos) << unlocked.body;
    EXPECT_NE(unlocked.body.find("Иванов Иван Иванович"), std::string::npos) << unlocked.body;
}

TEST_F(TlsForwarding, RequestArrivesWithHostRewrittenAndTargetUnchanged)
{
    unlockKey();
    const std::string target = "/test/echo?a=1&b=%2F%20x&c=%D0%B6&d=a+b";
    const CurlAnswer answer = runCurl({"-H", "Cookie: JSESSIONID=abc", "-H", "X-Session-Id: s-1", proxy.url(target)});
    ASSERT_EQ(answer.status, 200) << answer.body;
    const QJsonObject echo = jsonOf(answer);
    EXPECT_EQ(echo["target"].toString().toStdString(), target);
    EXPECT_EQ(headerOf(echo, "Host").toStdString(), portalAuthority());
    EXPECT_EQ(headerOf(echo, "Cookie"), QStringLiteral("JSESSIONID=abc"));
    EXPECT_EQ(headerOf(echo, "X-Session-Id"), QStringLiteral("s-1"));
    EXPECT_FALSE(echo["clientSubject"].toString().isEmpty());

    const CurlAnswer empty = runCurl({"-X", "POST", "-H", "Content-Length: 0", proxy.url("/test/echo")});
    EXPECT_EQ(jsonOf(empty)["bodyLength"].toInt(-1), 0);
}

TEST_F(TlsForwarding, RedirectsIntoThePortalComeBackOnTheProxy)
{
    unlockKey();
    const CurlAnswer self = runCurl({proxy.url("/test/redirect?to=self")});
    EXPECT_EQ(self.status, 302);
    EXPECT_EQ(self.header("location"), proxy.url("/webclient/"));

    const CurlAnswer elsewhere = runCurl({proxy.url("/test/redirect?to=elsewhere")});
    EXPECT_EQ(elsewhere.status, 302);
    EXPECT_EQ(elsewhere.header("location"), "http://example.invalid/x");
}

TEST_F(TlsForwarding, ChunkedRequestBodyIsChunkedAgainAndHeadIsAnswered)
{
    unlockKey();
    const std::filesystem::path upload = directory / "chunked.bin";
    const std::uint64_t size = 300000;
    {
        std::ofstream file(upload, std::ios::binary);
        standin::PseudoRandomBytes().generate(size, [&file](const char* data, std::size_t count) {
            file.write(data, static_cast<std::streamsize>(count));
        });
    }
    const CurlAnswer posted = runCurl(
        {"-H", "Transfer-Encoding: chunked", "--data-binary", "@" + upload.string(), proxy.url("/test/upload")});
    ASSERT_EQ(posted.status, 200) << posted.body;
    EXPECT_EQ(jsonOf(posted)["bodySha256"].toString().toStdString(), testBytesSha256(size));

    const CurlAnswer head = runCurl({"-I", proxy.url("/test/echo")});
    EXPECT_EQ(head.exitStatus, 0) << head.errors;
    EXPECT_EQ(head.status, 200);
    EXPECT_FALSE(head.header("content-length").empty());
    EXPECT_LT(head.seconds, 10.0);
}

TEST_F(TlsForwarding, LargeBodiesPassIntactWithFlatMemory)
{
    unlockKey();
    const std::filesystem::path upload = directory / "upload.bin";
    {
        std::ofstream file(upload, std::ios::binary);
        standin::PseudoRandomBytes bytes;
        bytes.generate(uploadSize, [&file](const char* data, std::size_t size) {
            file.write(data, static_cast<std::streamsize>(size));
        });
    }
    const CurlAnswer posted = runCurl({"--data-binary", "@" + upload.string(), "-H",
                                       "Content-Type: application/octet-stream", proxy.url("/test/upload")});
    ASSERT_EQ(posted.status, 200) << posted.errors;
    const QJsonObject digest = jsonOf(posted);
    EXPECT_EQ(static_cast<std::uint64_t>(digest["bodyLength"].toDouble()), uploadSize);
    EXPECT_EQ(digest["bodySha256"].toString().toStdString(), testBytesSha256(uploadSize));
    std::filesystem::remove(upload);

    for (const char* chunked : {"", "&chunked=1"}) {
        const CurlAnswer download =
            runCurl({proxy.url("/test/download?size=" + std::to_string(downloadSize) + chunked)});
        EXPECT_EQ(download.exitStatus, 0) << download.errors;
        EXPECT_EQ(download.bodySize, downloadSize) << chunked;
        EXPECT_EQ(download.bodySha256, testBytesSha256(downloadSize)) << chunked;
        std::cout << "download" << chunked << ": " << downloadSize / download.seconds / (1 << 20) << " MiB/s\n";
    }
    const long peak = proxy.peakMemoryKib();
    std::cout << "proxy peak memory (VmHWM): " << peak / 1024 << " MiB\n";
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, peakMemoryBoundKib);
}

TEST_F(TlsForwarding, ChunkedAnswersPassIntactAndEndWithoutDelay)
{
    unlockKey();
    const std::vector<std::uint64_t> sizes = {1, 2, 3, 5, 16, 255, 4096, 4097, 16383, 16384, 16385, 65536, 1 << 20};
    std::string list;
    for (const std::uint64_t size : sizes)
        list += (list.empty() ? "" : ",") + std::to_string(size);
    const std::uint64_t total = std::accumulate(sizes.begin(), sizes.end(), std::uint64_t(0));

    // The trailer's fields are dropped; the body before them arrives whole.
    for (const char* options : {"", "&split=1", "&trailer=1", "&split=1&trailer=1"}) {
        const CurlAnswer answer = runCurl({proxy.url("/test/chunks?sizes=" + list + options)});
        EXPECT_EQ(answer.exitStatus, 0) << answer.errors;
        EXPECT_EQ(answer.header("transfer-encoding"), "chunked");
        EXPECT_EQ(answer.bodySize, total) << options;
        EXPECT_EQ(answer.bodySha256, testBytesSha256(total)) << options;
        EXPECT_LT(answer.seconds, 10.0) << options; // the portal's idle time-out is 30 s
    }
    EXPECT_TRUE(proxy.records("WARN").empty()) << proxy.log();
}

TEST(TlsForwardingFailure, UnreachablePortalIsAPageOrATextNamingTheCause)
{
    const std::filesystem::path directory = testsupport::TestPki::instance().makeTemporaryDirectory("unreachable");
    const unsigned short closedPort = freeLocalPort();
    Workstation workstation(Workstation::UserKeyAndRoots);
    ProxyUnderTest proxy(directory, "https://localhost:" + std::to_string(closedPort), Workstation::keyName,
                         {workstation.environment()});
    // A program gets the cause as text, a browser's page a page that says it in Russian.
    const CurlAnswer answer = runCurl({proxy.url("/webclient/page?x=1")});
    EXPECT_EQ(answer.status, 502);
    EXPECT_EQ(answer.body, "Портал https://localhost:" + std::to_string(closedPort) + " недоступен: соединение отклонено (Connection refused)\n");
    const CurlAnswer page = runCurl({"-H", "Accept: text/html,application/xhtml+xml", proxy.url("/webclient/page?x=1")});
    EXPECT_EQ(page.status, 502);
    EXPECT_EQ(page.header("content-type"), "text/html; charset=utf-8");
    for (const char* text : {"Портал недоступен", "соединение отклонено", "Повторить", "Открыть настройки",
                             "href=\"/webclient/page?x=1\"", "href=\"/local/\""})
        EXPECT_NE(page.body.find(text), std::string::npos) << text << "\n" << page.body;
    EXPECT_EQ(proxy.records("WARN").size(), 2U) << proxy.log();
    EXPECT_TRUE(proxy.records("WARN")[0].find("/webclient/page?x=1") != std::string::npos) << proxy.log();
}

} // namespace
