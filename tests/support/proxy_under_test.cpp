#include "proxy_under_test.h"

#include "curl_client.h"
#include "local_ports.h"

#include <Poco/Net/HTTPClientSession.h>
#include <Poco/Net/HTTPRequest.h>
#include <Poco/Net/HTTPResponse.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

ProxyUnderTest::ProxyUnderTest(const std::filesystem::path& directory, const std::string& appUrl,
                               const std::string& keyName, const std::vector<std::string>& environment)
    : m_port(freeLocalPort()), m_process(QString::fromStdString(directory.string()))
{
    for (const std::string& entry : environment) {
        const std::size_t equals = entry.find('=');
        m_process.setEnvironment(QString::fromStdString(entry.substr(0, equals)),
                                 QString::fromStdString(entry.substr(equals + 1)));
    }
    const QString config =
        m_process.writeConfig(m_port,
                              QStringLiteral(R"(, "appUrl": "%1", "crypto": {"keyName": "%2"})")
                                  .arg(QString::fromStdString(appUrl), QString::fromStdString(keyName)));
    m_arguments = QStringList{QStringLiteral("--stderr"), QStringLiteral("-c"), config};
    if (!m_process.start(m_arguments))
        throw std::runtime_error("the proxy did not start: " + log());
}

ProxyUnderTest::~ProxyUnderTest()
{
    if (m_process.process().state() != QProcess::NotRunning)
        quit();
}

std::string ProxyUnderTest::url(const std::string& target) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + target;
}

std::string ProxyUnderTest::log() const { return m_process.standardError().toStdString(); }

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

bool ProxyUnderTest::loggedOneWarningNaming(const std::string& target) const
{
    const std::vector<std::string> warnings = records("WARN");
    return warnings.size() == 1 && warnings[0].find(" request to " + target + ": ") != std::string::npos;
}

long ProxyUnderTest::peakMemoryKib() const
{
    std::ifstream status("/proc/" + std::to_string(m_process.processId()) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

void ProxyUnderTest::unlockKey(const std::string& pin) const
{
    const CurlAnswer answer = runCurl({"-X", "POST", "--data-binary", pin, url("/local/rest/v1/crypto/setkp")});
    if (answer.status != 204)
        throw std::runtime_error("unlocking the key failed: " + std::to_string(answer.status) + " " + answer.body
                                 + answer.errors);
}

bool ProxyUnderTest::quit()
{
    try {
        Poco::Net::HTTPClientSession session("127.0.0.1", m_port);
        session.setTimeout(Poco::Timespan(10, 0));
        Poco::Net::HTTPRequest request("GET", "/quit", Poco::Net::HTTPMessage::HTTP_1_1);
        request.set("Authorization", "Bearer " + accessToken());
        session.sendRequest(request);
        Poco::Net::HTTPResponse response;
        session.receiveResponse(response);
    } catch (const Poco::Exception&) {
        return false;
    }
    return m_process.waitForExit(20000) != -2;
}

bool ProxyUnderTest::restart() { return quit() && m_process.start(m_arguments); }
