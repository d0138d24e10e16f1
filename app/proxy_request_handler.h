#pragma once

#include "not_implemented.h"

#include <Poco/Net/HTTPRequestHandler.h>

namespace tessel {

// Forwards a request to the portal.
class ProxyRequestHandler : public Poco::Net::HTTPRequestHandler
{
public:
    void handleRequest(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) override
    {
        notImplemented(request, response);
    }
};

} // namespace tessel
