#pragma once

#include "proxy_process.h"

#include <filesystem>
#include <string>
#include <vector>

// The proxy started with --stderr and a config.json in directory (its home) in front of a portal, listening on
// 127.0.0.1 and a free port; stopped with /quit.
class ProxyUnderTest
{
public:
    // environment: extra "NAME=value" entries, e.g. NXCSP_ROOT.
    ProxyUnderTest(const std::filesystem::path& directory, const std::string& appUrl, const std::string& keyName = {},
                   const std::vector<std::string>& environment = {});
    ~ProxyUnderTest();

    unsigned short port() const { return m_port; }
    // "http://127.0.0.1:PORT" + target.
    std::string url(const std::string& target) const;
    std::string log() const;
    // The log's records (first line: code location, second: time, level, message) of one level.
    std::vector<std::string> records(const std::string& level) const;
    // Whether the log holds exactly one WARN record, and it is the failure of a request to target, as sent.
    bool loggedOneWarningNaming(const std::string& target) const;
    // VmHWM of the running proxy in KiB.
    long peakMemoryKib() const;
    std::string accessToken() const { return m_process.accessToken(); }
    // The configuration file in the directory given.
    std::string configFile() const { return m_process.home().filePath(QStringLiteral("config.json")).toStdString(); }
    // Unlocks the configured key through the REST API; throws when the proxy refuses.
    void unlockKey(const std::string& pin) const;
    // Sends /quit and waits; true when the process ended by itself.
    bool quit();
    // Quits and starts again on the same port and configuration, so the key is locked again;
    // true when the new process listens.
    bool restart();

private:
    unsigned short m_port = 0;
    ProxyProcess m_process;
    QStringList m_arguments;
};
