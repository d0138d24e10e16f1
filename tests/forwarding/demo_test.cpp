#include "child_process.h"
#include "curl_client.h"
#include "local_ports.h"
#include "test_pki.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <regex>
#include <signal.h>
#include <sstream>
#include <thread>

namespace {

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The README's demo command as a new user runs it, with the programs of this build, stopped
// with the signal Ctrl-C sends.
TEST(Demo, PrintedUrlAnswersAndCtrlCStopsProxyAndPortal)
{
    const std::filesystem::path directory = testsupport::TestPki::instance().makeTemporaryDirectory("demo");
    const unsigned short proxyPort = freeLocalPort();
    const std::filesystem::path output = directory / "output.log";
    testsupport::ChildProcess demo({VPP_SOURCE_DIR "/scripts/demo"}, output.string(),
                                   {"VPP_DEMO_BUILD_DIR=" VPP_BUILD_DIR, "VPP_DEMO_DIR=" + (directory / "demo").string(),
                                    "VPP_DEMO_PORT=" + std::to_string(proxyPort)});

    const std::regex ready(R"(Open: +(http://localhost:(\d+)/)[\s\S]*Key PIN: +(\d+)[\s\S]*Portal: +https://localhost:(\d+))");
    std::smatch found;
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (!std::regex_search(text = fileText(output), found, ready)) {
        ASSERT_TRUE(demo.running()) << text;
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << text;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const std::string url = found[1];
    const std::string pin = found[3];
    const auto portalPort = static_cast<unsigned short>(std::stoi(found[4]));
    EXPECT_EQ(std::stoi(found[2]), proxyPort);

    EXPECT_EQ(runCurl({url}).header("location"), "/webclient/");
    EXPECT_EQ(runCurl({url + "webclient/"}).header("location"), "/local/#auth");
    EXPECT_LT(runCurl({"-X", "POST", "--data-binary", pin, url + "local/rest/v1/crypto/setkp"}).status, 300);
    const CurlAnswer page = runCurl({url + "webclient/"});
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("Signed in as"), std::string::npos) << page.body;

    ASSERT_EQ(kill(demo.pid(), SIGINT), 0);
    const std::optional<int> status = demo.waitForExit(std::chrono::seconds(30));
    ASSERT_TRUE(status.has_value()) << fileText(output);
    EXPECT_FALSE(acceptsConnections(proxyPort));
    EXPECT_FALSE(acceptsConnections(portalPort));
}

} // namespace
