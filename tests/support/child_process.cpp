#include "child_process.h"

#include "process_spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace testsupport {

ChildProcess::ChildProcess(const std::vector<std::string>& command, const std::string& logFile,
                           const std::vector<std::string>& environment)
{
    // Servers such as openssl s_server end at the end of their input: keep it open.
    int input[2];
    if (pipe2(input, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    inputWriteEnd_ = input[1];
    try {
        pid_ = spawnProcess(command, environment, [&logFile, &input](posix_spawn_file_actions_t* actions) {
            posix_spawn_file_actions_adddup2(actions, input[0], STDIN_FILENO);
            posix_spawn_file_actions_addopen(actions, STDOUT_FILENO, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                             0644);
            posix_spawn_file_actions_adddup2(actions, STDOUT_FILENO, STDERR_FILENO);
        });
    } catch (...) {
        close(input[0]);
        close(inputWriteEnd_);
        throw;
    }
    close(input[0]);
}

ChildProcess::~ChildProcess()
{
    stop();
    close(inputWriteEnd_);
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!status_) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_)
            status_ = exitStatusOf(status);
        else if (std::chrono::steady_clock::now() >= deadline)
            break;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return status_;
}

bool ChildProcess::running() { return !waitForExit(std::chrono::milliseconds(0)); }

int ChildProcess::stop(std::chrono::milliseconds timeout)
{
    if (running()) {
        kill(pid_, SIGTERM);
        if (!waitForExit(timeout)) {
            kill(pid_, SIGKILL);
            waitForExit(std::chrono::seconds(5));
        }
    }
    return status_.value_or(-1);
}

} // namespace testsupport
