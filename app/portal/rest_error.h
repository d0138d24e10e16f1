#pragma once

#include <istream>
#include <stdexcept>
#include <string>

namespace Poco::Net {
class HTTPResponse;
}

namespace tessel {

// A portal answer with status 400 or above, or a redirect where a call takes none for an answer.
// The message is the reason phrase, then ": " and the answer body (the Location for a redirect)
// when there is one; what() is "HTTP Error <status>: <message>".
class RestError : public std::runtime_error
{
public:
    RestError(int status, const std::string& message);

    int status() const { return m_status; }
    const std::string& message() const { return m_message; }

    // Returns for answers below 400; otherwise reads the body, logs the error and raises it.
    static void check(const Poco::Net::HTTPResponse& response, std::istream& body);
    // Raises a 3xx as "HTTP Error <status>: <reason>: <Location>", logged like the others: a call
    // without a result would take a redirect (the forwarding's, while the key is locked) for success.
    static void checkNotRedirected(const Poco::Net::HTTPResponse& response);

private:
    int m_status;
    std::string m_message;
};

} // namespace tessel
