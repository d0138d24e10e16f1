#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path source = VPP_SOURCE_DIR;

// The folders that libraries name as their public include roots.
const std::vector<fs::path> includeRoots = {source / "app", source / "include", source, source / "tests"};

const std::vector<fs::path> codeFolders = {"app", "include", "crypto", "template", "tools", "tests", "bench"};

bool isCode(const fs::path& file) { return file.extension() == ".cpp" || file.extension() == ".h"; }

std::vector<fs::path> codeFiles()
{
    std::vector<fs::path> files;
    for (const fs::path& folder : codeFolders) {
        for (const auto& entry : fs::recursive_directory_iterator(source / folder)) {
            if (entry.is_regular_file() && isCode(entry.path())
                && entry.path().string().find("node_modules") == std::string::npos)
                files.push_back(entry.path());
        }
    }
    return files;
}

std::vector<std::string> quotedIncludes(const fs::path& file)
{
    static const std::regex include(R"re(^\s*#\s*include\s+"([^"]+)")re");
    std::ifstream in(file);
    std::vector<std::string> names;
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        if (std::regex_search(line, match, include))
            names.push_back(match[1]);
    }
    return names;
}

// The folder of the library a file belongs to: the nearest folder above it with a CMakeLists.txt.
fs::path libraryFolder(const fs::path& file)
{
    for (fs::path folder = file.parent_path(); folder != source && !folder.empty(); folder = folder.parent_path()) {
        if (fs::exists(folder / "CMakeLists.txt"))
            return folder;
    }
    return source;
}

bool isInside(const fs::path& file, const fs::path& folder)
{
    const std::string prefix = folder.string() + "/";
    return file.string().compare(0, prefix.size(), prefix) == 0;
}

// Every file the include may name: beside the including file, below its library's folder (a
// program's or the stand-in portal's own root) or below one of the public roots.
std::vector<fs::path> candidates(const fs::path& file, const std::string& name)
{
    std::vector<fs::path> found;
    auto add = [&found](const fs::path& path) {
        if (fs::is_regular_file(path)) {
            const fs::path canonical = fs::canonical(path);
            if (std::find(found.begin(), found.end(), canonical) == found.end())
                found.push_back(canonical);
        }
    };
    add(file.parent_path() / name);
    add(libraryFolder(file) / name);
    for (const fs::path& root : includeRoots)
        add(root / name);
    return found;
}

TEST(IncludeRoots, EveryIncludeNamesOneFileOfItsOwnLibraryOrIsWrittenFromARoot)
{
    for (const fs::path& file : codeFiles()) {
        for (const std::string& name : quotedIncludes(file)) {
            const std::vector<fs::path> found = candidates(file, name);
            const std::string where = fs::relative(file, source).string() + ": \"" + name + "\"";
            if (found.empty())
                continue; // generated, e.g. a moc file
            EXPECT_EQ(found.size(), 1U) << where << " names more than one header";
            // A bare name may only reach a header of the including file's own library.
            if (name.find('/') == std::string::npos) {
                EXPECT_TRUE(isInside(found[0], libraryFolder(file))) << where << " reaches into another library";
            }
        }
    }
}

} // namespace
