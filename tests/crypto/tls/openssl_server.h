#pragma once

#include "support/child_process.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// openssl s_server with the GOST engine on 127.0.0.1 and a free port, serving the test PKI's
// server certificate with its chain over TLS 1.2; it prints what it receives.
class OpenSslServer
{
public:
    // arguments replace or add to the defaults, e.g. {"-Verify", "2"} to require a client
    // certificate. Throws std::runtime_error when it does not come up.
    explicit OpenSslServer(const std::vector<std::string>& arguments = {}, bool sendChain = true);

    unsigned short port() const { return port_; }
    std::string log() const;
    // True once the log holds text; false after timeout.
    bool waitForLog(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

private:
    std::filesystem::path logFile_;
    std::unique_ptr<testsupport::ChildProcess> process_;
    unsigned short port_ = 0;
};
