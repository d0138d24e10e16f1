#include "portal/rest_error.h"

#include "tessel/log_record.h"

#include <Poco/Net/HTTPResponse.h>

#include <QString>

namespace tessel {
namespace {

std::string errorText(int status, const std::string& message)
{
    return "HTTP Error " + std::to_string(status) + ": " + message;
}

// An error page can be large; the message keeps its start, so one answer cannot exhaust memory.
constexpr size_t maxBodyInMessage = 64 * 1024;

std::string readBodyStart(std::istream& body)
{
    std::string content;
    char buffer[8192];
    while (content.size() < maxBodyInMessage && (body.read(buffer, sizeof buffer) || body.gcount() > 0))
        content.append(buffer, static_cast<size_t>(body.gcount()));
    if (content.size() > maxBodyInMessage)
        content.resize(maxBodyInMessage);
    return content;
}

[[noreturn]] void raise(int status, const std::string& message)
{
    RestError error(status, message);
    LOG_ERROR << QString::fromUtf8(error.what());
    throw error;
}

} // namespace

RestError::RestError(int status, const std::string& message)
    : std::runtime_error(errorText(status, message)), m_status(status), m_message(message)
{}

void RestError::check(const Poco::Net::HTTPResponse& response, std::istream& body)
{
    const int status = response.getStatus();
    if (status < 400)
        return;
    std::string message = response.getReason();
    const std::string content = readBodyStart(body);
    if (!content.empty())
        message += ": " + content;
    raise(status, message);
}

void RestError::checkNotRedirected(const Poco::Net::HTTPResponse& response)
{
    const int status = response.getStatus();
    if (status < 300 || status >= 400)
        return;
    std::string message = response.getReason();
    if (response.has("Location"))
        message += ": " + response.get("Location");
    raise(status, message);
}

} // namespace tessel
