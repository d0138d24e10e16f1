#pragma once

#include "open_connections.h"

#include <Poco/Net/HTTPServerConnection.h>
#include <Poco/Timespan.h>

#include <string>

namespace standin {

// One client connection: the TLS handshake, bounded by the I/O time-out and reported when it
// fails, then POCO's requests one after another while the client keeps the connection alive.
class PortalConnection : public Poco::Net::HTTPServerConnection
{
public:
    PortalConnection(const Poco::Net::StreamSocket& socket, Poco::Net::HTTPServerParams::Ptr params,
                     Poco::Net::HTTPRequestHandlerFactory::Ptr handlers, OpenConnections& openConnections)
        : HTTPServerConnection(socket, params, handlers),
          m_ioTimeout(params->getTimeout()),
          m_openConnections(openConnections)
    {}

    void run() override;

private:
    bool handshake(const std::string& peer);
    void serveRequests(const std::string& peer);
    std::string peerAddress();

    const Poco::Timespan m_ioTimeout;
    OpenConnections& m_openConnections;
};

} // namespace standin
