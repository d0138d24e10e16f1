#include "security/request_gate.h"

#include <Poco/Net/HTTPRequest.h>
#include <Poco/String.h>

namespace tessel::security {
namespace {

const char* const plainText = "text/plain; charset=utf-8";

// Opened from a bookmark or a link that lost its token: where the user gets the way in.
const char* const tokenPage = R"(<!DOCTYPE html>
<html lang="ru">
<head><meta charset="utf-8"><title>Портал документооборота</title></head>
<body>
<h1>Откройте портал с рабочего стола</h1>
<p>Этот адрес открывается только по ссылке с ключом доступа, которую знает ваша учётная запись.
Запустите «Портал документооборота» из меню приложений или откройте в браузере адрес, который
печатает команда <code>velmar-portal-proxy --url</code>.</p>
</body>
</html>
)";

AccessDecision refusal(int status, const std::string& contentType, const std::string& body, const QString& warning = {})
{
    AccessDecision decision;
    decision.action = AccessDecision::Action::Refuse;
    decision.status = status;
    decision.contentType = contentType;
    decision.body = body;
    decision.warning = warning;
    return decision;
}

std::string lowered(std::string text)
{
    return Poco::toLower(text);
}

// A browser's navigation asks for a page it will show; its answer may be one.
bool isNavigation(const Poco::Net::HTTPRequest& request)
{
    if (request.has("Sec-Fetch-Mode"))
        return request.get("Sec-Fetch-Mode") == "navigate";
    return request.getMethod() == Poco::Net::HTTPRequest::HTTP_GET
           && request.get("Accept", "").find("text/html") != std::string::npos;
}

bool isSafeMethod(const Poco::Net::HTTPRequest& request)
{
    return request.getMethod() == Poco::Net::HTTPRequest::HTTP_GET
           || request.getMethod() == Poco::Net::HTTPRequest::HTTP_HEAD;
}

QString quoted(const std::string& text)
{
    return QLatin1Char('"') + QString::fromStdString(text) + QLatin1Char('"');
}

} // namespace

RequestGate::RequestGate(const QString& listenInterface, quint16 port, const std::string& token)
    : m_hostNames{"localhost", "127.0.0.1", "[::1]"}, m_port(port), m_carriers(token)
{
    const std::string configured = lowered(listenInterface.toStdString());
    m_hostNames.insert(configured.find(':') != std::string::npos ? "[" + configured + "]" : configured);
}

bool RequestGate::isOwnHost(const std::string& host) const
{
    const std::string name = lowered(host);
    const std::size_t colon = name.rfind(':');
    const bool hasPort = colon != std::string::npos && name.find(']', colon) == std::string::npos;
    if (!hasPort)
        return m_port == 80 && m_hostNames.count(name);
    return m_hostNames.count(name.substr(0, colon)) && name.substr(colon + 1) == std::to_string(m_port);
}

bool RequestGate::isForeign(const Poco::Net::HTTPRequest& request) const
{
    const std::string site = request.get("Sec-Fetch-Site", "");
    if (site == "cross-site" || site == "same-site")
        return true;
    return request.has("Origin") && lowered(request.get("Origin")) != "http://" + lowered(request.get("Host", ""));
}

AccessDecision RequestGate::check(const Poco::Net::HTTPRequest& request, Destination destination) const
{
    const std::string& method = request.getMethod();
    if (!isOwnHost(request.get("Host", ""))) {
        return refusal(421, plainText,
                       "Misdirected request: this proxy answers only requests addressed to localhost:"
                           + std::to_string(m_port) + ".\n",
                       QStringLiteral("Refused %1 for host %2: not addressed to the proxy")
                           .arg(QString::fromStdString(method), quoted(request.get("Host", ""))));
    }
    const bool preflight = method == Poco::Net::HTTPRequest::HTTP_OPTIONS
                           && (request.has("Access-Control-Request-Method")
                               || request.has("Access-Control-Request-Private-Network"));
    const bool foreign = isForeign(request);
    // Another site may only open a portal page, as a link does.
    const bool allowedFromOutside =
        destination == Destination::Portal && isSafeMethod(request) && request.get("Sec-Fetch-Mode", "") == "navigate";
    if (preflight || (foreign && !allowedFromOutside)) {
        return refusal(403, plainText, "Forbidden: the proxy takes no requests from other sites.\n",
                       QStringLiteral("Refused %1 from %2 (%3): another site")
                           .arg(QString::fromStdString(method), quoted(request.get("Origin", "")),
                                quoted(request.get("Sec-Fetch-Site", ""))));
    }
    if (isSafeMethod(request) && m_carriers.inQuery(request.getURI())) {
        AccessDecision decision;
        decision.action = AccessDecision::Action::SetCookie;
        decision.status = 302;
        decision.location = m_carriers.withoutQueryToken(request.getURI());
        decision.cookie = m_carriers.cookie();
        return decision;
    }
    if (m_carriers.inCookieOrHeader(request))
        return AccessDecision();
    if (isNavigation(request))
        return refusal(401, "text/html; charset=utf-8", tokenPage);
    return refusal(401, plainText, "Unauthorized: the request carries no access token of this proxy.\n");
}

} // namespace tessel::security
