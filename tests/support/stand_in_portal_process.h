#pragma once

#include "child_process.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

// The stand-in portal started on 127.0.0.1 with a free port, the test PKI's server certificate
// and a fresh state directory; stopped when this object goes.
class StandInPortalProcess
{
public:
    // arguments are added to the command line, e.g. {"--client-auth", "optional"}.
    // Throws std::runtime_error when the portal does not come up.
    explicit StandInPortalProcess(const std::vector<std::string>& arguments = {});

    unsigned short port() const { return port_; }
    // "https://localhost:PORT" + target.
    std::string url(const std::string& target) const;
    std::filesystem::path stateDir() const { return directory_ / "state"; }
    // The lines of requests.log so far.
    std::vector<std::string> requestLog() const;
    // What the portal wrote to standard output and error.
    std::string output() const;

    ChildProcess& process() { return *process_; }

private:
    std::filesystem::path directory_;
    std::unique_ptr<ChildProcess> process_;
    unsigned short port_ = 0;
};

} // namespace testsupport
