#pragma once

#include "http/route.h"

#include <Poco/Net/HTTPRequestHandler.h>

namespace tessel {

// Runs a matched route; when it declines, the lookup goes on after it.
class LocalRequestHandler : public Poco::Net::HTTPRequestHandler
{
public:
    LocalRequestHandler(const RouteList& routes, size_t index);

    void handleRequest(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) override;

private:
    const RouteList& m_routes;
    const size_t m_index;
};

} // namespace tessel
