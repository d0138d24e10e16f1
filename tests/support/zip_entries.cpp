#include "zip_entries.h"

#include "file_text.h"

#include <Poco/Path.h>
#include <Poco/Zip/Decompress.h>

#include <atomic>
#include <fstream>

namespace testsupport {

std::map<std::string, std::string> zipEntries(const std::filesystem::path& archive,
                                              const std::filesystem::path& workDirectory)
{
    static std::atomic<int> counter{0};
    const std::filesystem::path target = workDirectory / ("unzipped-" + std::to_string(++counter));
    std::filesystem::create_directories(target);
    std::ifstream in(archive, std::ios::binary);
    Poco::Zip::Decompress(in, Poco::Path(target.string() + "/")).decompressAllFiles();
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(target))
        entries[entry.path().filename().string()] = fileText(entry.path());
    return entries;
}

} // namespace testsupport
