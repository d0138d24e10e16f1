#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// The whole content of a small file (a log, a port file); empty when it cannot be read.
std::string fileText(const std::filesystem::path& path);

} // namespace testsupport
