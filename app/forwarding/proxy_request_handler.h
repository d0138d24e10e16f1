#pragma once

#include <Poco/Net/HTTPRequestHandler.h>

#include <QUrl>

namespace Poco::Net {
class HTTPRequest;
class HTTPResponse;
} // namespace Poco::Net

namespace tessel {

// Forwards one browser request to the portal and copies the portal's answer back,
// streaming both bodies.
class ProxyRequestHandler : public Poco::Net::HTTPRequestHandler
{
public:
    void handleRequest(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) override;

    // Keeps the browser on the proxy when the portal redirects into itself.
    static void rewriteResponse(Poco::Net::HTTPResponse& response);
    static QUrl rewriteLocation(const QUrl& location, const QUrl& portalUrl, const QUrl& listenUrl);
    static bool hasBody(const Poco::Net::HTTPRequest& request);
};

} // namespace tessel
