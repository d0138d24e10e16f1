#include "portal_connection.h"

#include "diagnostics.h"

#include <Poco/Net/SecureStreamSocket.h>

namespace standin {

void PortalConnection::run()
{
    if (!m_openConnections.enter(socket()))
        return;
    const std::string peer = peerAddress();
    if (handshake(peer))
        serveRequests(peer);
    m_openConnections.leave(socket());
}

bool PortalConnection::handshake(const std::string& peer)
{
    try {
        Poco::Net::SecureStreamSocket tls(socket());
        // POCO's session sets the time-outs for the requests; the handshake waits as well.
        tls.setReceiveTimeout(m_ioTimeout);
        tls.setSendTimeout(m_ioTimeout);
        // The end of a split chunked answer is a record of its own that must not wait.
        tls.setNoDelay(true);
        if (tls.completeHandshake() == 1)
            return true;
        printDiagnostic(peer + ": TLS handshake failed: the connection closed");
    } catch (const Poco::Exception& e) {
        printDiagnostic(peer + ": TLS handshake failed: " + e.displayText());
    }
    return false;
}

void PortalConnection::serveRequests(const std::string& peer)
{
    try {
        HTTPServerConnection::run();
    } catch (const Poco::Exception& e) {
        // POCO drops a request it cannot read at all, such as one whose Content-Length is no number.
        printDiagnostic(peer + ": " + e.displayText());
    }
}

std::string PortalConnection::peerAddress()
{
    try {
        return socket().peerAddress().toString();
    } catch (const Poco::Exception&) {
        return "(disconnected)";
    }
}

} // namespace standin
