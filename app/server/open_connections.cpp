#include "server/open_connections.h"

#include "server/proxy_connection.h"

namespace tessel {

void OpenConnections::add(ProxyConnection* connection)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_connections.insert(connection);
    if (m_stopped)
        connection->stop();
}

void OpenConnections::remove(ProxyConnection* connection)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_connections.erase(connection);
}

void OpenConnections::stopAll()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopped = true;
    for (ProxyConnection* connection : m_connections)
        connection->stop();
}

} // namespace tessel
