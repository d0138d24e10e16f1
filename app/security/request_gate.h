#pragma once

#include "security/token_carriers.h"

#include <QString>

#include <set>
#include <string>

namespace Poco::Net {
class HTTPRequest;
}

namespace tessel::security {

// Where a request is going: the proxy's own pages, REST API and /quit, or the portal.
enum class Destination { Local, Portal };

// What the gate lets through, and how it answers what it stops.
struct AccessDecision
{
    enum class Action { Pass, Refuse, SetCookie };

    Action action = Action::Pass;
    int status = 0;
    std::string contentType;
    std::string body;
    // SetCookie: the same target without the token, and the cookie that carries it from now on.
    std::string location;
    std::string cookie;
    // Logged at WARN: a refusal that tells of a page or a host trying what it should not.
    QString warning;
};

// Lets a request in only when it comes from the user's own browser pages or programs: addressed
// to the proxy by name (no DNS rebinding), not sent by another site (no CSRF), and carrying the
// access token that only the user can read (no other local user).
class RequestGate
{
public:
    RequestGate(const QString& listenInterface, quint16 port, const std::string& token);

    AccessDecision check(const Poco::Net::HTTPRequest& request, Destination destination) const;
    const TokenCarriers& carriers() const { return m_carriers; }

private:
    bool isOwnHost(const std::string& host) const;
    bool isForeign(const Poco::Net::HTTPRequest& request) const;

    std::set<std::string> m_hostNames;
    quint16 m_port;
    TokenCarriers m_carriers;
};

} // namespace tessel::security
