#include "admin_common.h"

#include "crypto/errors/system_error_text.h"
#include "crypto/platform/hex_text.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/provider_files.h"
#include "crypto/platform/x500_name.h"

#include <ctime>

namespace nxcsp_admin {

using namespace nxcrypto::csp;

void failWithLastError(const std::string& what)
{
    const uint32_t code = getLastError();
    throw CommandError{what + ": " + nxcrypto::systemErrorText(code).replace('\n', ' ').toStdString()};
}

Arguments parseArguments(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
                         const std::set<std::string>& flagOptions)
{
    Arguments result;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            result.positional.push_back(word);
            continue;
        }
        const size_t equals = word.find('=');
        const std::string option = word.substr(0, equals);
        if (flagOptions.count(option) && equals == std::string::npos) {
            result.flags.insert(option);
        } else if (valueOptions.count(option)) {
            if (equals != std::string::npos)
                result.values[option] = word.substr(equals + 1);
            else if (i + 1 < words.size())
                result.values[option] = words[++i];
            else
                throw UsageError{"option " + option + " needs a value"};
        } else {
            throw UsageError{"unknown option " + word};
        }
    }
    return result;
}

std::string thumbprintText(const std::vector<uint8_t>& sha1) { return hexText(sha1.data(), sha1.size(), false); }

std::string nameText(const std::vector<uint8_t>& derName)
{
    std::string text;
    if (!nameToString(derName, &text))
        return "(unreadable name)";
    return text;
}

std::string utcText(int64_t unixSeconds)
{
    const time_t time = static_cast<time_t>(unixSeconds);
    struct tm parts = {};
    gmtime_r(&time, &parts);
    char buffer[32];
    strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return buffer;
}

std::vector<uint8_t> readWholeFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!readFile(path, &bytes))
        failWithLastError("cannot read " + path);
    return bytes;
}

} // namespace nxcsp_admin
