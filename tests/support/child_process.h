#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// A program the test starts and stops itself; its output goes to a log file, its input stays
// open and empty.
class ChildProcess
{
public:
    // command[0] is looked up in PATH; environment entries ("NAME=value") are added to ours.
    // Throws std::runtime_error when the program cannot be started.
    ChildProcess(const std::vector<std::string>& command, const std::string& logFile,
                 const std::vector<std::string>& environment = {});
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // The exit status once it has ended within timeout (128 + signal for a signal).
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    bool running();
    // SIGTERM, then SIGKILL when it has not ended within timeout; the exit status.
    int stop(std::chrono::milliseconds timeout = std::chrono::seconds(5));

private:
    pid_t pid_ = -1;
    int inputWriteEnd_ = -1;
    std::optional<int> status_;
};

} // namespace testsupport
