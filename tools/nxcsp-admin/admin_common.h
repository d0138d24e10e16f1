#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace nxcsp_admin {

// Thrown by a command that failed; main() prints it on stderr and exits with 1.
struct CommandError
{
    std::string message;
};

// Usage mistakes: main() prints the message and the usage, and exits with 2.
struct UsageError
{
    std::string message;
};

// "<what>: <the layer's last error text>", as a CommandError.
[[noreturn]] void failWithLastError(const std::string& what);

// A command's words: positional ones, options with a value (--key VALUE or
// --key=VALUE) and flags (--exchange). Unknown options are usage errors.
struct Arguments
{
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool has(const std::string& option) const { return values.count(option) || flags.count(option); }
};
Arguments parseArguments(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
                         const std::set<std::string>& flagOptions);

std::string thumbprintText(const std::vector<uint8_t>& sha1);
std::string nameText(const std::vector<uint8_t>& derName);
std::string utcText(int64_t unixSeconds);
std::vector<uint8_t> readWholeFile(const std::string& path);

} // namespace nxcsp_admin
