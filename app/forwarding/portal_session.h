#pragma once

#include "forwarding/portal_stream.h"

#include <QSharedPointer>
#include <QUrl>

#include <Poco/NullStream.h>

#include <memory>
#include <sstream>
#include <string>

namespace Poco::Net {
class HTTPRequest;
class HTTPResponse;
} // namespace Poco::Net

namespace nxcrypto {
class CryptoEngine;
}

namespace tessel {

class HTTPChunkedInputStream;

// One exchange with the configured portal on a connection of its own: the GOST TLS client with
// the user's certificate for an https portal, plain TCP for http. The forwarding and the portal
// client both talk to the portal through it.
class PortalSession
{
public:
    // Opens the connection. When the portal asks for the client certificate before the key is
    // unlocked, the session answers every request itself with a redirect to the key page
    // ("/local/#auth"), as the forwarding answers the browser. Throws PortalUnavailable when
    // the portal cannot be reached.
    explicit PortalSession(const QSharedPointer<nxcrypto::CryptoEngine>& engine);
    ~PortalSession();

    // Puts the portal's path in front of the target, names the portal in Host and sends the head;
    // the body goes to the stream given back, framed as the head announces.
    std::ostream& sendRequest(Poco::Net::HTTPRequest& request);
    // The final answer's head (interim answers skipped) and its body, de-chunked; empty for HEAD,
    // 1xx, 204 and 304. Throws PortalUnavailable when the portal sends nothing in time.
    std::istream& receiveResponse(Poco::Net::HTTPResponse& response);

    // The last wait for the portal ended with no byte in the network time-out.
    bool timedOut() const { return m_stream.timedOut(); }
    // "https://host:port" of the portal, for messages.
    QString portalName() const;

    // Prefixes the target with the portal's path and names the portal in "Host".
    static void rewriteRequest(Poco::Net::HTTPRequest& request, const QUrl& portalUrl);

private:
    QUrl m_portalUrl;
    bool m_needsClientAuth = false;
    std::string m_method;
    PortalStream m_stream;
    Poco::NullOutputStream m_discarded;
    std::istringstream m_noBody;
    std::unique_ptr<HTTPChunkedInputStream> m_chunkedBody;
};

} // namespace tessel
