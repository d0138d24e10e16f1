#include "open_connections.h"

#include <Poco/Net/SecureStreamSocket.h>

#include <algorithm>

namespace standin {

bool OpenConnections::enter(const Poco::Net::StreamSocket& socket)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stopping)
        return false;
    m_sockets.push_back(socket);
    return true;
}

void OpenConnections::leave(const Poco::Net::StreamSocket& socket)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_sockets.erase(std::remove(m_sockets.begin(), m_sockets.end(), socket), m_sockets.end());
}

void OpenConnections::abortAll()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_stopping = true;
    for (const Poco::Net::StreamSocket& socket : m_sockets) {
        try {
            Poco::Net::SecureStreamSocket(socket).abort();
        } catch (const Poco::Exception&) {
            // Closed by its own thread meanwhile.
        }
    }
}

} // namespace standin
