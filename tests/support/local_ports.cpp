#include "local_ports.h"

#include <Poco/Net/ServerSocket.h>
#include <Poco/Net/StreamSocket.h>

unsigned short freeLocalPort()
{
    Poco::Net::ServerSocket socket(Poco::Net::SocketAddress("127.0.0.1", 0));
    return socket.address().port();
}

bool acceptsConnections(unsigned short port)
{
    try {
        Poco::Net::StreamSocket socket;
        socket.connect(Poco::Net::SocketAddress("127.0.0.1", port), Poco::Timespan(2, 0));
        return true;
    } catch (const Poco::Exception&) {
        return false;
    }
}
