#pragma once

#include "open_connections.h"
#include "portal_options.h"
#include "request_log.h"
#include "route_table.h"

#include <Poco/Net/HTTPServerParams.h>
#include <Poco/Net/SecureServerSocket.h>
#include <Poco/Net/TCPServer.h>
#include <Poco/ThreadPool.h>

namespace standin {

// POCO's HTTP server on the listening address, serving each TLS connection on a thread of its own.
class PortalServer
{
public:
    // Throws std::runtime_error or Poco::Exception when the TLS setup, the state directory or the
    // address fails.
    PortalServer(const PortalOptions& options, RouteTable routes);
    ~PortalServer();

    PortalServer(const PortalServer&) = delete;
    PortalServer& operator=(const PortalServer&) = delete;

    // Starts accepting; writes the port file once connections are taken.
    void start();
    // Stops accepting and ends the open connections, wherever they wait.
    void stop();

    unsigned short port() const;

private:
    void writePortFile() const;

    const PortalOptions m_options;
    RequestLog m_log;
    OpenConnections m_openConnections;
    Poco::ThreadPool m_threads;
    Poco::Net::HTTPServerParams::Ptr m_params;
    Poco::Net::SecureServerSocket m_listener;
    Poco::Net::TCPServer m_server;
};

} // namespace standin
