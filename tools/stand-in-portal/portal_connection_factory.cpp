#include "portal_connection_factory.h"

#include "portal_connection.h"

namespace standin {

Poco::Net::TCPServerConnection* PortalConnectionFactory::createConnection(const Poco::Net::StreamSocket& socket)
{
    return new PortalConnection(socket, m_params, m_handlers, m_openConnections);
}

} // namespace standin
