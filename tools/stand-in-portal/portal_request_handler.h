#pragma once

#include "portal_options.h"
#include "request_log.h"
#include "response.h"
#include "route_table.h"

#include <Poco/Net/HTTPRequestHandler.h>

namespace standin {

// One request: logged as it arrives, handed to its route, refused with a plain-text answer
// when the route raises HttpError. What the route left of the body is skipped when that is
// cheap; otherwise, or after broken framing, the connection closes after the answer.
class PortalRequestHandler : public Poco::Net::HTTPRequestHandler
{
public:
    PortalRequestHandler(const RouteTable& routes, RequestLog& log, const PortalOptions& options)
        : m_routes(routes), m_log(log), m_options(options)
    {}

    void handleRequest(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) override;

private:
    void serve(Poco::Net::HTTPServerRequestImpl& request, Response& response, const std::string& clientSubject);
    void fail(const Poco::Net::HTTPServerRequest& request, Response& response, const std::string& reason);

    const RouteTable& m_routes;
    RequestLog& m_log;
    const PortalOptions& m_options;
};

} // namespace standin
