#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace testsupport {

// The entries of a ZIP archive, name to content, unpacked into a new directory below workDirectory.
std::map<std::string, std::string> zipEntries(const std::filesystem::path& archive,
                                              const std::filesystem::path& workDirectory);

} // namespace testsupport
