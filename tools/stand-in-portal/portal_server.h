#pragma once

#include "connection_pool.h"
#include "portal_options.h"
#include "request_log.h"
#include "route_table.h"
#include "server_tls_context.h"

#include <Poco/Net/ServerSocket.h>

#include <atomic>
#include <thread>

namespace standin {

// Accepts TLS connections on the listening address and serves each on a thread of its own.
class PortalServer {
public:
    // Throws std::runtime_error when the TLS setup, the state directory or the address fails.
    PortalServer(const PortalOptions& options, RouteTable routes);
    ~PortalServer();

    // Starts accepting; writes the port file once connections are taken.
    void start();
    void stop();

    unsigned short port() const;

private:
    void acceptLoop();
    void serve(const Poco::Net::StreamSocket& socket);
    void writePortFile() const;

    const PortalOptions options_;
    const RouteTable routes_;
    ServerTlsContext tls_;
    RequestLog log_;
    Poco::Net::ServerSocket listener_;
    ConnectionPool connections_;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
};

} // namespace standin
