#pragma once

#include "portal_options.h"
#include "request_log.h"
#include "route_table.h"

#include <Poco/Net/HTTPRequestHandlerFactory.h>

namespace standin {

// Makes the handler of each request the portal's server reads.
class PortalRequestHandlerFactory : public Poco::Net::HTTPRequestHandlerFactory
{
public:
    PortalRequestHandlerFactory(RouteTable routes, RequestLog& log, const PortalOptions& options)
        : m_routes(std::move(routes)), m_log(log), m_options(options)
    {}

    Poco::Net::HTTPRequestHandler* createRequestHandler(const Poco::Net::HTTPServerRequest& request) override;

private:
    const RouteTable m_routes;
    RequestLog& m_log;
    const PortalOptions& m_options;
};

} // namespace standin
