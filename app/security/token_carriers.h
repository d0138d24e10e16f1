#pragma once

#include <string>

namespace Poco::Net {
class HTTPRequest;
}

namespace tessel::security {

// The ways a request carries the proxy's access token: its cookie, "Authorization: Bearer" or,
// on the first navigation, the query parameter "token".
class TokenCarriers
{
public:
    static constexpr const char* cookieName = "velmar_proxy_token";
    static constexpr const char* parameterName = "token";

    explicit TokenCarriers(std::string token) : m_token(std::move(token)) {}

    bool inCookieOrHeader(const Poco::Net::HTTPRequest& request) const;
    bool inQuery(const std::string& target) const;
    // The target without the query parameters that carry the token.
    std::string withoutQueryToken(const std::string& target) const;
    // "name=token; HttpOnly; SameSite=Lax; Path=/".
    std::string cookie() const;
    // Takes out the cookie, the header and the query parameter, so that the token never goes on.
    void strip(Poco::Net::HTTPRequest& request) const;

private:
    bool isToken(const std::string& text) const;
    bool isOurAuthorization(const std::string& value) const;

    std::string m_token;
};

} // namespace tessel::security
