#pragma once

#include "portal_options.h"
#include "request_log.h"
#include "route_table.h"
#include "tls_connection.h"

#include <iostream>

namespace standin {

// Serves the requests of one client connection, one after another while it keeps it alive.
class HttpConnection {
public:
    HttpConnection(TlsConnection& tls, const RouteTable& routes, RequestLog& log, const PortalOptions& options);

    void run();

private:
    // False when the connection is to be closed.
    bool serveRequest(std::iostream& stream);
    bool answerError(Response& response, RequestBody* body, Poco::Net::HTTPResponse::HTTPStatus status,
                     const std::string& message);

    TlsConnection& tls_;
    const RouteTable& routes_;
    RequestLog& log_;
    const PortalOptions& options_;
    std::string clientSubject_;
    std::string peer_;
};

} // namespace standin
