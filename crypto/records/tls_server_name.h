#pragma once

#include <QString>

namespace nxcrypto {

// Implemented by a transport that knows which server it is connected to (the socket stream
// opened on the portal's host). createTlsStream checks the server certificate against this
// name; over a transport without it the handshake is refused.
class TlsServerName
{
public:
    virtual ~TlsServerName() = default;
    // The host name or IP address as the connection was asked for.
    virtual QString tlsServerName() const = 0;
};

} // namespace nxcrypto
