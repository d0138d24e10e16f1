#include "support/access_tokens.h"
#include "support/child_process.h"
#include "support/curl_client.h"
#include "support/file_text.h"
#include "support/local_ports.h"
#include "support/test_pki.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <chrono>
#include <signal.h>
#include <thread>

namespace {

using testsupport::fileText;

const std::string incoming = "16fd2706-8baf-433b-82eb-8c7fada847da";

// The README's demo command as a new user runs it, with the programs of this build, stopped
// with the signal Ctrl-C sends.
TEST(Demo, PrintedUrlShowsTheSeededDocumentsAndCtrlCStopsProxyAndPortal)
{
    const std::filesystem::path directory = testsupport::TestPki::instance().makeTemporaryDirectory("demo");
    const unsigned short proxyPort = freeLocalPort();
    const std::filesystem::path output = directory / "output.log";
    testsupport::ChildProcess demo({VPP_SOURCE_DIR "/scripts/demo"}, output.string(),
                                   {"VPP_DEMO_BUILD_DIR=" VPP_BUILD_DIR,
                                    "VPP_DEMO_DIR=" + (directory / "demo").string(),
                                    "VPP_DEMO_PORT=" + std::to_string(proxyPort)});

    const QRegularExpression ready(QStringLiteral(
        R"(Open: +((http://localhost:(\d+)/)\?token=([0-9a-f]+))[\s\S]*Key PIN: +(\d+)[\s\S]*Portal: +https://localhost:(\d+))"));
    QRegularExpressionMatch found;
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (!(found = ready.match(QString::fromStdString(text = fileText(output)))).hasMatch()) {
        ASSERT_TRUE(demo.running()) << text;
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << text;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const std::string opening = found.captured(1).toStdString();
    const std::string url = found.captured(2).toStdString();
    const std::string pin = found.captured(5).toStdString();
    const auto portalPort = static_cast<unsigned short>(found.captured(6).toUInt());
    EXPECT_EQ(found.captured(3).toUInt(), proxyPort);

    // The printed address gives the browser the access token's cookie and sends it on.
    const CurlAnswer opened = runCurl({opening});
    EXPECT_EQ(opened.header("location"), "/");
    EXPECT_NE(opened.header("set-cookie").find(found.captured(4).toStdString()), std::string::npos);
    EXPECT_EQ(runCurl({url}).status, 401);
    testsupport::rememberAccessToken(proxyPort, found.captured(4).toStdString());

    EXPECT_EQ(runCurl({url}).header("location"), "/webclient/");
    EXPECT_EQ(runCurl({url + "webclient/"}).header("location"), "/local/#auth");
    EXPECT_LT(runCurl({"-X", "POST", "--data-binary", pin, url + "local/rest/v1/crypto/setkp"}).status, 300);
    const CurlAnswer page = runCurl({url + "webclient/"});
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("Signed in as"), std::string::npos) << page.body;
    // The seeded documents, by their numbers, each with the actions of its list.
    for (const char* row :
         {"data-kind=\"drafts\" data-id=\"0f8fad5b-d9cb-469f-a165-70867728950e\" data-number=\"И-2026/118\"",
          "data-kind=\"drafts\" data-id=\"7c9e6679-7425-40de-944b-e07fc1f90ae7\" data-number=\"И-2026/119\"",
          "data-kind=\"inbox\" data-id=\"16fd2706-8baf-433b-82eb-8c7fada847da\" data-number=\"Р-2026/5521\""})
        EXPECT_NE(page.body.find(row), std::string::npos) << row << "\n" << page.body;
    EXPECT_NE(fileText(output).find("What to try"), std::string::npos) << fileText(output);

    // The demo trusts the seeded document's signer and has the revocation lists: receiving it
    // reports its signatures as confirmed to the portal.
    EXPECT_EQ(runCurl({url + "local/rest/v1/inbox/" + incoming}).status, 200);
    const std::filesystem::path signState =
        directory / "demo" / "portal-state" / "documents" / "inbox" / incoming / "signState.json";
    const auto received = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!std::filesystem::exists(signState) && std::chrono::steady_clock::now() < received)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const QJsonObject recorded = QJsonDocument::fromJson(QByteArray::fromStdString(fileText(signState))).object();
    EXPECT_EQ(recorded.value("newStateId").toInt(-1), 1) << fileText(signState);

    ASSERT_EQ(kill(demo.pid(), SIGINT), 0);
    const std::optional<int> status = demo.waitForExit(std::chrono::seconds(30));
    ASSERT_TRUE(status.has_value()) << fileText(output);
    EXPECT_FALSE(acceptsConnections(proxyPort));
    EXPECT_FALSE(acceptsConnections(portalPort));
}

} // namespace
