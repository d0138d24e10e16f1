#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// What curl saw of one exchange. The body is digested as it streams; it is kept only when
// it is small.
struct CurlAnswer
{
    int exitStatus = -1;                        // curl's exit code: 0 transfer complete, 52 empty reply, ...
    int status = 0;                             // of the final answer (interim answers are skipped)
    std::map<std::string, std::string> headers; // names in lower case
    std::uint64_t bodySize = 0;
    std::string bodySha256;
    std::string body;
    double seconds = 0;
    std::string errors;

    std::string header(const std::string& lowerCaseName) const;
};

// Runs curl -sS with the arguments (a URL among them); redirects are not followed.
CurlAnswer runCurl(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {});

// SHA-256 of the first size bytes of the stand-in portal's test byte stream.
std::string testBytesSha256(std::uint64_t size);
