#include "scratch_file.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace standin {

ScratchFile::ScratchFile(const std::filesystem::path& directory, const std::string& prefix)
{
    std::filesystem::create_directories(directory);
    const std::string pattern = (directory / (prefix + "-XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0)
        throw std::runtime_error("cannot create a file in " + directory.string() + ": " + std::strerror(errno));
    close(descriptor);
    m_path = name.data();
}

ScratchFile::~ScratchFile()
{
    if (!m_moved) {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
}

void ScratchFile::moveTo(const std::filesystem::path& destination)
{
    std::filesystem::rename(m_path, destination);
    m_moved = true;
}

} // namespace standin
