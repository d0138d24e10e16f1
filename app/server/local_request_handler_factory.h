#pragma once

#include "http/route.h"

#include <Poco/Net/HTTPRequestHandlerFactory.h>

namespace tessel {

// Finds the first route that matches the request target and method.
class LocalRequestHandlerFactory : public Poco::Net::HTTPRequestHandlerFactory
{
public:
    explicit LocalRequestHandlerFactory(RouteList routes);

    Poco::Net::HTTPRequestHandler* createRequestHandler(const Poco::Net::HTTPServerRequest& request) override;

    // The handler of the first route from index `from` on that matches; 404 when none does.
    static Poco::Net::HTTPRequestHandler* lookup(const RouteList& routes, size_t from,
                                                 const Poco::Net::HTTPServerRequest& request);

private:
    const RouteList m_routes;
};

} // namespace tessel
