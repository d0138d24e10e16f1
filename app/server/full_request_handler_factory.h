#pragma once

#include "security/request_gate.h"
#include "server/local_request_handler_factory.h"

#include <Poco/Net/HTTPRequestHandlerFactory.h>

namespace tessel {

class ProxyServer;

// Every request passes the access gate first; then "/quit" stops the server, local targets go
// through the route table, everything else is forwarded to the portal without the access token.
class FullRequestHandlerFactory : public Poco::Net::HTTPRequestHandlerFactory
{
public:
    FullRequestHandlerFactory(ProxyServer* server, security::RequestGate gate);

    Poco::Net::HTTPRequestHandler* createRequestHandler(const Poco::Net::HTTPServerRequest& request) override;

    static bool isLocalTarget(const std::string& target);

private:
    ProxyServer* m_server;
    LocalRequestHandlerFactory m_local;
    security::RequestGate m_gate;
};

} // namespace tessel
