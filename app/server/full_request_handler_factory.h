#pragma once

#include "server/local_request_handler_factory.h"

#include <Poco/Net/HTTPRequestHandlerFactory.h>

namespace tessel {

class ProxyServer;

// "/quit" stops the server, local targets go through the route table, everything else
// is forwarded to the portal.
class FullRequestHandlerFactory : public Poco::Net::HTTPRequestHandlerFactory
{
public:
    explicit FullRequestHandlerFactory(ProxyServer* server);

    Poco::Net::HTTPRequestHandler* createRequestHandler(const Poco::Net::HTTPServerRequest& request) override;

    static bool isLocalTarget(const std::string& target);

private:
    ProxyServer* m_server;
    LocalRequestHandlerFactory m_local;
};

} // namespace tessel
