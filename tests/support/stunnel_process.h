#pragma once

#include "child_process.h"

#include <filesystem>
#include <memory>
#include <string>

// stunnel4 on 127.0.0.1 and a free port with the GOST suites and the test PKI.
// Client: takes plain HTTP and carries it over TLS with the test user's certificate, as the
// proxy does. Server: takes TLS with the server certificate, asks for the client's and
// carries the plain HTTP on, a portal's TLS front for a plain server of the test's own.
class StunnelProcess
{
public:
    enum class Mode { Client, Server };

    StunnelProcess(const std::filesystem::path& directory, Mode mode, unsigned short connectPort);

    unsigned short port() const { return m_port; }

private:
    unsigned short m_port = 0;
    std::unique_ptr<testsupport::ChildProcess> m_process;
};
