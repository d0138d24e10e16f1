#include "file_text.h"

#include <fstream>
#include <sstream>

namespace testsupport {

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace testsupport
