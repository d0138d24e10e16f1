#include "server/proxy_connection_factory.h"

#include "server/proxy_connection.h"

namespace tessel {

Poco::Net::TCPServerConnection* ProxyConnectionFactory::createConnection(const Poco::Net::StreamSocket& socket)
{
    return new ProxyConnection(socket, m_context);
}

} // namespace tessel
