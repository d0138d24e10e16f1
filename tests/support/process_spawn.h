#pragma once

#include <spawn.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// Starts command[0] (looked up in PATH) with our environment plus the given "NAME=value"
// entries; redirect adds the file actions that set up its standard streams.
// Throws std::runtime_error when it cannot be started.
pid_t spawnProcess(const std::vector<std::string>& command, const std::vector<std::string>& environment,
                   const std::function<void(posix_spawn_file_actions_t*)>& redirect);

// The exit code of a waitpid status, 128 + signal for a process that a signal ended.
int exitStatusOf(int waitStatus);

} // namespace testsupport
