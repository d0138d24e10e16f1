#pragma once

#include "child_process.h"

#include <filesystem>
#include <memory>
#include <string>

// stunnel4 in client mode on 127.0.0.1 and a free port, carrying plain HTTP to a GOST TLS
// server with the test user's certificate, as the proxy does.
class StunnelProcess
{
public:
    StunnelProcess(const std::filesystem::path& directory, unsigned short serverPort);

    unsigned short port() const { return m_port; }

private:
    unsigned short m_port = 0;
    std::unique_ptr<testsupport::ChildProcess> m_process;
};
