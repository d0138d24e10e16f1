#include "crypto/platform/provider_files.h"

#include "crypto/platform/error_codes.h"
#include "crypto/platform/hex_text.h"
#include "crypto/platform/last_error.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nxcrypto {
namespace csp {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string homeDirectory()
{
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    if (const passwd* entry = getpwuid(getuid()))
        return entry->pw_dir;
    return "/";
}

bool needsEscape(unsigned char c, bool first)
{
    return c < 0x20 || c == 0x7F || c == '/' || c == '%' || (first && c == '.');
}

} // namespace

std::string providerRoot(bool machineKeyset)
{
    if (machineKeyset) {
        const std::string root = environment("NXCSP_MACHINE_ROOT");
        return root.empty() ? std::string("/var/lib/nxcsp") : root;
    }
    const std::string root = environment("NXCSP_ROOT");
    if (!root.empty())
        return root;
    const std::string data = environment("XDG_DATA_HOME");
    if (!data.empty())
        return data + "/nxcsp";
    return homeDirectory() + "/.local/share/nxcsp";
}

std::string escapeName(const std::string& name)
{
    std::string result;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (needsEscape(c, i == 0)) {
            result += '%';
            result += hexText(&c, 1, true);
        } else {
            result += static_cast<char>(c);
        }
    }
    if (result.empty() || result.size() > 240)
        return std::string();
    return result;
}

std::string unescapeName(const std::string& fileName)
{
    std::string result;
    for (size_t i = 0; i < fileName.size(); ++i) {
        if (fileName[i] == '%' && i + 2 < fileName.size()) {
            const int high = hexDigitValue(fileName[i + 1]);
            const int low = hexDigitValue(fileName[i + 2]);
            if (high >= 0 && low >= 0) {
                result += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        result += fileName[i];
    }
    return result;
}

bool readFile(const std::string& path, std::vector<uint8_t>* bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(errorFromErrno(errno));
    bytes->clear();
    uint8_t buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int saved = errno;
            ::close(fd);
            return fail(errorFromErrno(saved));
        }
        if (n == 0)
            break;
        bytes->insert(bytes->end(), buffer, buffer + n);
    }
    ::close(fd);
    return true;
}

bool writeFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes, unsigned mode)
{
    static std::atomic<unsigned> counter{0};
    const std::string temporary = path + ".tmp." + std::to_string(getpid()) + "." + std::to_string(counter++);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return fail(errorFromErrno(errno));
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int saved = errno;
            ::close(fd);
            ::unlink(temporary.c_str());
            return fail(errorFromErrno(saved));
        }
        written += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        return fail(errorFromErrno(saved));
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        return fail(errorFromErrno(saved));
    }
    return true;
}

bool makeDirectories(const std::string& path, unsigned mode)
{
    if (path.empty())
        return fail(err::kInvalidName);
    std::string partial;
    size_t position = 0;
    while (position != std::string::npos) {
        const size_t next = path.find('/', position + 1);
        partial = path.substr(0, next);
        position = next;
        if (partial.empty() || partial == "/")
            continue;
        if (::mkdir(partial.c_str(), mode) != 0 && errno != EEXIST)
            return fail(errorFromErrno(errno));
    }
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return fail(errorFromErrno(errno));
    if (!S_ISDIR(info.st_mode))
        return fail(err::kPathNotFound);
    return true;
}

bool removeFile(const std::string& path)
{
    if (::unlink(path.c_str()) != 0)
        return fail(errorFromErrno(errno));
    return true;
}

bool listDirectory(const std::string& path, std::vector<std::string>* names)
{
    names->clear();
    DIR* directory = ::opendir(path.c_str());
    if (!directory) {
        if (errno == ENOENT)
            return true;
        return fail(errorFromErrno(errno));
    }
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names->push_back(name);
    }
    ::closedir(directory);
    std::sort(names->begin(), names->end());
    return true;
}

} // namespace csp
} // namespace nxcrypto
