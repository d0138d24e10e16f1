#include "server/access_answer.h"

#include "http/request_handler.h"
#include "security/request_gate.h"

#include "tessel/log_record.h"

#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>

#include <memory>

namespace tessel {
namespace {

std::string reasonOf(int status)
{
    switch (status) {
    case 302: return "Found";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 421: return "Misdirected Request";
    }
    return Poco::Net::HTTPResponse::getReasonForStatus(static_cast<Poco::Net::HTTPResponse::HTTPStatus>(status));
}

} // namespace

Poco::Net::HTTPRequestHandler* accessAnswer(const security::AccessDecision& decision)
{
    if (!decision.warning.isEmpty())
        LOG_WARN << decision.warning;
    return new RequestHandler([decision](Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response) {
        response.setStatusAndReason(static_cast<Poco::Net::HTTPResponse::HTTPStatus>(decision.status),
                                    reasonOf(decision.status));
        if (decision.action == security::AccessDecision::Action::SetCookie) {
            response.set("Set-Cookie", decision.cookie);
            response.set("Location", decision.location);
            response.set("Cache-Control", "no-store");
            response.setContentLength(0);
            response.send();
            return;
        }
        if (decision.status == Poco::Net::HTTPResponse::HTTP_UNAUTHORIZED)
            response.set("WWW-Authenticate", "Bearer realm=\"velmar-portal-proxy\"");
        response.setKeepAlive(false);
        response.setContentType(decision.contentType);
        response.setContentLength(static_cast<std::streamsize>(decision.body.size()));
        response.send() << decision.body;
    });
}

Poco::Net::HTTPRequestHandler* tokenStrippingHandler(Poco::Net::HTTPRequestHandler* handler,
                                                     const security::TokenCarriers& carriers)
{
    std::shared_ptr<Poco::Net::HTTPRequestHandler> wrapped(handler);
    return new RequestHandler(
        [wrapped, carriers](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
            carriers.strip(request);
            wrapped->handleRequest(request, response);
        });
}

} // namespace tessel
