#pragma once

#include <mutex>
#include <set>

namespace tessel {

class ProxyConnection;

// The browser connections being served, so that stopping the server can end them.
class OpenConnections
{
public:
    void add(ProxyConnection* connection);
    void remove(ProxyConnection* connection);
    // Ends every connection once its request in hand has been answered.
    void stopAll();

private:
    std::mutex m_mutex;
    std::set<ProxyConnection*> m_connections;
    bool m_stopped = false;
};

} // namespace tessel
