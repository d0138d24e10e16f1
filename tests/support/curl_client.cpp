#include "curl_client.h"

#include "access_tokens.h"
#include "command.h"
#include "tools/stand-in-portal/pseudo_random_bytes.h"
#include "tools/stand-in-portal/sha256.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace {

constexpr std::size_t keptBodySize = 1 << 20;

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string trimmed(const std::string& text)
{
    const auto begin = text.find_first_not_of(" \t\r\n");
    const auto end = text.find_last_not_of(" \t\r\n");
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

// The header file holds every answer's header block; the last one is the final answer.
void readHeaders(const std::filesystem::path& file, CurlAnswer& answer)
{
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        line = trimmed(line);
        if (line.rfind("HTTP/", 0) == 0) {
            answer.headers.clear();
            std::istringstream statusLine(line);
            std::string version;
            statusLine >> version >> answer.status;
        } else if (const auto colon = line.find(':'); colon != std::string::npos) {
            answer.headers[lowerCase(line.substr(0, colon))] = trimmed(line.substr(colon + 1));
        }
    }
}

} // namespace

std::string CurlAnswer::header(const std::string& lowerCaseName) const
{
    const auto it = headers.find(lowerCaseName);
    return it == headers.end() ? std::string() : it->second;
}

CurlAnswer runCurl(const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
{
    static int counter = 0;
    const std::filesystem::path headerFile = std::filesystem::temp_directory_path()
        / ("vpp-curl-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
    std::vector<std::string> command = {"curl", "-sS", "-D", headerFile.string(), "--max-time", "600"};
    const std::vector<std::string> authorized = testsupport::withAccessToken(arguments);
    command.insert(command.end(), authorized.begin(), authorized.end());

    CurlAnswer answer;
    standin::Sha256 digest;
    const auto start = std::chrono::steady_clock::now();
    const testsupport::CommandResult result = testsupport::runCommand(
        command, environment,
        [&answer, &digest](const char* data, std::size_t size) {
            digest.update(data, size);
            answer.bodySize += size;
            if (answer.body.size() < keptBodySize)
                answer.body.append(data, std::min(size, keptBodySize - answer.body.size()));
        },
        std::chrono::minutes(11));
    answer.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    answer.exitStatus = result.exitStatus;
    answer.errors = result.errors;
    answer.bodySha256 = digest.hexDigest();
    readHeaders(headerFile, answer);
    std::filesystem::remove(headerFile);
    return answer;
}

std::string testBytesSha256(std::uint64_t size)
{
    standin::PseudoRandomBytes bytes;
    standin::Sha256 digest;
    bytes.generate(size, [&digest](const char* data, std::size_t count) { digest.update(data, count); });
    return digest.hexDigest();
}
