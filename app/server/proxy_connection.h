#pragma once

#include "server/head_deadlines.h"
#include "server/open_connections.h"

#include <Poco/Net/HTTPRequestHandlerFactory.h>
#include <Poco/Net/HTTPServerParams.h>
#include <Poco/Net/TCPServerConnection.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

namespace Poco::Net {
class HTTPServerResponseImpl;
}

namespace tessel {

class ProxyServerSession;
class ProxyServerRequest;

// What all the browser connections share.
struct ConnectionContext
{
    Poco::Net::HTTPServerParams::Ptr parameters;
    Poco::Net::HTTPRequestHandlerFactory::Ptr handlers;
    std::chrono::milliseconds headBound;
    HeadDeadlines deadlines;
    OpenConnections open;
};

// One browser connection, its requests one after the other as POCO's HTTP server runs them,
// and what the proxy adds: the wait for a request and its whole head end within a bound; a
// request whose framing could be read two ways, or whose chunked body is broken, gets 400 and
// the connection closes; an answer that breaks off after it started is cut for the browser too.
class ProxyConnection : public Poco::Net::TCPServerConnection
{
public:
    ProxyConnection(const Poco::Net::StreamSocket& socket, ConnectionContext& context);

    void run() override;
    // Ends the connection once the request in hand has been answered.
    void stop();

private:
    // False when the connection is to end.
    bool serveOne(ProxyServerSession& session);
    bool handle(ProxyServerRequest& request, Poco::Net::HTTPServerResponseImpl& response, ProxyServerSession& session);
    void refuse(Poco::Net::HTTPServerResponseImpl& response, ProxyServerSession& session, int status,
                const std::string& text);

    ConnectionContext& m_context;
    std::atomic<bool> m_stopped{false};
    std::mutex m_requestMutex;
};

} // namespace tessel
