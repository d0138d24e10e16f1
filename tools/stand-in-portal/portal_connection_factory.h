#pragma once

#include "open_connections.h"

#include <Poco/Net/HTTPRequestHandlerFactory.h>
#include <Poco/Net/HTTPServerParams.h>
#include <Poco/Net/TCPServerConnectionFactory.h>

namespace standin {

// Makes a PortalConnection of each accepted connection.
class PortalConnectionFactory : public Poco::Net::TCPServerConnectionFactory
{
public:
    PortalConnectionFactory(Poco::Net::HTTPServerParams::Ptr params, Poco::Net::HTTPRequestHandlerFactory::Ptr handlers,
                            OpenConnections& openConnections)
        : m_params(params), m_handlers(handlers), m_openConnections(openConnections)
    {}

    Poco::Net::TCPServerConnection* createConnection(const Poco::Net::StreamSocket& socket) override;

private:
    Poco::Net::HTTPServerParams::Ptr m_params;
    Poco::Net::HTTPRequestHandlerFactory::Ptr m_handlers;
    OpenConnections& m_openConnections;
};

} // namespace standin
