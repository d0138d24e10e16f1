#include "process_spawn.h"

#include <sys/wait.h>

#include <cstring>
#include <stdexcept>

extern char** environ;

namespace testsupport {

namespace {

std::vector<std::string> environmentWith(const std::vector<std::string>& entries)
{
    std::vector<std::string> result;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text(*entry);
        const std::string name = text.substr(0, text.find('=') + 1);
        bool replaced = false;
        for (const std::string& added : entries)
            replaced = replaced || added.compare(0, name.size(), name) == 0;
        if (!replaced)
            result.push_back(text);
    }
    result.insert(result.end(), entries.begin(), entries.end());
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> result;
    for (std::string& text : texts)
        result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

} // namespace

pid_t spawnProcess(const std::vector<std::string>& command, const std::vector<std::string>& environment,
                   const std::function<void(posix_spawn_file_actions_t*)>& redirect)
{
    std::vector<std::string> arguments = command;
    std::vector<std::string> variables = environmentWith(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    redirect(&actions);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, arguments[0].c_str(), &actions, nullptr, pointers(arguments).data(),
                                   pointers(variables).data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + command[0] + ": " + std::strerror(error));
    return pid;
}

int exitStatusOf(int waitStatus)
{
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}

} // namespace testsupport
