#pragma once

#include <Poco/Net/HTTPRequest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>

namespace standin {

// DIR/requests.log: one JSON object a line for every request received, written as soon as
// its header has arrived.
class RequestLog
{
public:
    // Throws std::runtime_error when the file cannot be opened.
    explicit RequestLog(const std::filesystem::path& stateDir);

    void record(const Poco::Net::HTTPRequest& request, const std::string& clientSubject, const std::string& peer);

private:
    std::mutex m_mutex;
    std::ofstream m_file;
};

} // namespace standin
