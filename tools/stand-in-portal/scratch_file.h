#pragma once

#include <filesystem>
#include <string>

namespace standin {

// A new empty file of a unique name in a directory, removed with this object unless it was
// moved into place.
class ScratchFile
{
public:
    ScratchFile(const std::filesystem::path& directory, const std::string& prefix);
    ~ScratchFile();

    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // Renames the file onto destination, replacing what is there in one step.
    void moveTo(const std::filesystem::path& destination);

private:
    std::filesystem::path m_path;
    bool m_moved = false;
};

} // namespace standin
