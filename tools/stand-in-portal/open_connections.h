#pragma once

#include <Poco/Net/StreamSocket.h>

#include <mutex>
#include <vector>

namespace standin {

// The connections being served, so that stopping can cut them all: POCO's orderly TLS shutdown
// does not reach a connection that is still in its handshake.
class OpenConnections
{
public:
    // False once the server stops: the connection is not to be served.
    bool enter(const Poco::Net::StreamSocket& socket);
    void leave(const Poco::Net::StreamSocket& socket);
    // Closes the TCP connection under each, so that every wait on them ends.
    void abortAll();

private:
    std::mutex m_mutex;
    std::vector<Poco::Net::StreamSocket> m_sockets;
    bool m_stopping = false;
};

} // namespace standin
