#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct CommandResult
{
    int exitStatus = -1; // 128 + signal when killed, -1 when it did not end in time
    std::string output;  // standard output, unless a sink took it
    std::string errors;  // standard error
};

using OutputSink = std::function<void(const char* data, std::size_t size)>;

// Runs a program to its end (killed after timeout); standard output goes to sink when one is
// given, so that large outputs are never held whole.
CommandResult runCommand(const std::vector<std::string>& command, const std::vector<std::string>& environment = {},
                         const OutputSink& sink = nullptr,
                         std::chrono::milliseconds timeout = std::chrono::seconds(120));

} // namespace testsupport
