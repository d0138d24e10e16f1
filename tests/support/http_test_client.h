#pragma once

#include <Poco/Net/HTTPResponse.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// What a test sees of one HTTP exchange.
struct HttpAnswer
{
    int status = 0;
    std::string reason;
    std::map<std::string, std::string> headers;
    std::string body;

    bool has(const std::string& name) const { return headers.count(name) > 0; }
    std::string header(const std::string& name) const
    {
        auto it = headers.find(name);
        return it == headers.end() ? std::string() : it->second;
    }
};

// A multipart/form-data POST of text fields and file parts, each a name with its text or path.
using FormParts = std::vector<std::pair<std::string, std::string>>;
HttpAnswer httpPostForm(unsigned short port, const std::string& target, const FormParts& fields,
                        const FormParts& files);

// A multipart/form-data POST with one file part per path (and one plain field, which the proxy ignores).
HttpAnswer httpUpload(unsigned short port, const std::string& target, const std::vector<std::string>& paths);

HttpAnswer httpRequest(unsigned short port, const std::string& method, const std::string& target,
                       const std::string& body = std::string(), const std::map<std::string, std::string>& headers = {});
