#include "access_tokens.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <regex>

namespace testsupport {
namespace {

std::mutex tokensMutex;
std::map<unsigned short, std::string> tokens;

} // namespace

void rememberAccessToken(unsigned short port, const std::string& token)
{
    std::lock_guard<std::mutex> lock(tokensMutex);
    tokens[port] = token;
}

void forgetAccessToken(unsigned short port)
{
    std::lock_guard<std::mutex> lock(tokensMutex);
    tokens.erase(port);
}

std::string accessTokenOf(unsigned short port)
{
    std::lock_guard<std::mutex> lock(tokensMutex);
    const auto it = tokens.find(port);
    return it == tokens.end() ? std::string() : it->second;
}

std::string readAccessToken(const std::string& configFile)
{
    std::ifstream file(std::filesystem::path(configFile).parent_path() / "access-token");
    std::string token;
    std::getline(file, token);
    return token;
}

std::vector<std::string> withAccessToken(const std::vector<std::string>& curlArguments)
{
    static const std::regex proxyUrl(R"(^http://(127\.0\.0\.1|localhost):(\d+)(/.*)?$)");
    std::string token;
    for (const std::string& argument : curlArguments) {
        if (argument.rfind("Authorization:", 0) == 0)
            return curlArguments;
        std::smatch match;
        if (token.empty() && std::regex_match(argument, match, proxyUrl))
            token = accessTokenOf(static_cast<unsigned short>(std::stoi(match[2])));
    }
    if (token.empty())
        return curlArguments;
    std::vector<std::string> arguments = {"-H", "Authorization: Bearer " + token};
    arguments.insert(arguments.end(), curlArguments.begin(), curlArguments.end());
    return arguments;
}

} // namespace testsupport
