#include "command.h"

#include "process_spawn.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <stdexcept>

namespace testsupport {

namespace {

struct Pipe
{
    Pipe()
    {
        if (pipe(ends) != 0)
            throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    }
    ~Pipe()
    {
        closeEnd(0);
        closeEnd(1);
    }
    void closeEnd(int i)
    {
        if (ends[i] >= 0)
            close(ends[i]);
        ends[i] = -1;
    }
    int ends[2] = {-1, -1};
};

pid_t spawnWithPipes(const std::vector<std::string>& command, const std::vector<std::string>& environment, Pipe& out,
                     Pipe& err)
{
    const pid_t pid = spawnProcess(command, environment, [&out, &err](posix_spawn_file_actions_t* actions) {
        posix_spawn_file_actions_addopen(actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(actions, out.ends[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(actions, err.ends[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(actions, out.ends[0]);
        posix_spawn_file_actions_addclose(actions, err.ends[0]);
    });
    out.closeEnd(1);
    err.closeEnd(1);
    return pid;
}

} // namespace

CommandResult runCommand(const std::vector<std::string>& command, const std::vector<std::string>& environment,
                         const OutputSink& sink, std::chrono::milliseconds timeout)
{
    Pipe out;
    Pipe err;
    const pid_t pid = spawnWithPipes(command, environment, out, err);
    CommandResult result;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::array<char, 65536> buffer;
    pollfd fds[2] = {{out.ends[0], POLLIN, 0}, {err.ends[0], POLLIN, 0}};
    bool timedOut = false;
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        if (poll(fds, 2, static_cast<int>(left.count())) <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            const ssize_t count = read(fds[i].fd, buffer.data(), buffer.size());
            if (count <= 0) {
                fds[i].fd = -1;
            } else if (i == 1) {
                result.errors.append(buffer.data(), static_cast<std::size_t>(count));
            } else if (sink) {
                sink(buffer.data(), static_cast<std::size_t>(count));
            } else {
                result.output.append(buffer.data(), static_cast<std::size_t>(count));
            }
        }
    }
    if (timedOut)
        kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!timedOut)
        result.exitStatus = exitStatusOf(status);
    return result;
}

} // namespace testsupport
