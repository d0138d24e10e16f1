#include "proxy_under_test.h"

#include "file_text.h"
#include "local_ports.h"

#include <Poco/Net/HTTPClientSession.h>
#include <Poco/Net/HTTPRequest.h>
#include <Poco/Net/HTTPResponse.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

ProxyUnderTest::ProxyUnderTest(const std::filesystem::path& directory, const std::string& appUrl,
                               const std::string& keyName, const std::vector<std::string>& environment)
    : m_directory(directory), m_port(freeLocalPort())
{
    std::filesystem::create_directories(directory / "home");
    const std::filesystem::path config = directory / "config.json";
    std::ofstream(config) << R"({"listenInterface": "127.0.0.1", "listenPort": )" << m_port << R"(, "appUrl": ")" << appUrl
                          << R"(", "crypto": {"keyName": ")" << keyName << R"("}})";
    std::vector<std::string> fullEnvironment = {"HOME=" + (directory / "home").string()};
    fullEnvironment.insert(fullEnvironment.end(), environment.begin(), environment.end());
    m_process = std::make_unique<testsupport::ChildProcess>(
        std::vector<std::string>{PROXY_EXECUTABLE, "--stderr", "-c", config.string()}, (directory / "proxy.log").string(),
        fullEnvironment);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (log().find("Server started!") == std::string::npos) {
        if (!m_process->running() || std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("the proxy did not start: " + log());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

ProxyUnderTest::~ProxyUnderTest()
{
    if (m_process->running() && !quit())
        m_process->stop();
}

std::string ProxyUnderTest::url(const std::string& target) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + target;
}

std::string ProxyUnderTest::log() const
{
    return testsupport::fileText(m_directory / "proxy.log");
}

std::vector<std::string> ProxyUnderTest::records(const std::string& level) const
{
    std::istringstream lines(log());
    std::vector<std::string> found;
    std::string location;
    for (std::string line; std::getline(lines, line); location = line) {
        if (line.find(" " + level + " ") != std::string::npos)
            found.push_back(location + "\n" + line);
    }
    return found;
}

bool ProxyUnderTest::loggedOneWarningNaming(const std::string& text) const
{
    const std::vector<std::string> warnings = records("WARN");
    return warnings.size() == 1 && warnings[0].find(text) != std::string::npos;
}

long ProxyUnderTest::peakMemoryKib() const
{
    std::ifstream status("/proc/" + std::to_string(m_process->pid()) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

bool ProxyUnderTest::quit()
{
    try {
        Poco::Net::HTTPClientSession session("127.0.0.1", m_port);
        session.setTimeout(Poco::Timespan(10, 0));
        Poco::Net::HTTPRequest request("GET", "/quit", Poco::Net::HTTPMessage::HTTP_1_1);
        session.sendRequest(request);
        Poco::Net::HTTPResponse response;
        session.receiveResponse(response);
    } catch (const Poco::Exception&) {
        return false;
    }
    return m_process->waitForExit(std::chrono::seconds(20)).has_value();
}
