#pragma once

#include <QString>

namespace nxcrypto {

// Implemented by a TLS stream: why its handshake failed, for whoever tells the user. A stream
// that failed reads empty and refuses writes.
class TlsFailure
{
public:
    virtual ~TlsFailure() = default;
    // Empty while the stream works.
    virtual QString failureReason() const = 0;
    // The failure is the server's certificate: not trusted, expired or of another name.
    virtual bool serverCertificateRefused() const = 0;
};

} // namespace nxcrypto
