#pragma once

#include "crypto/platform/tls_client_config.h"
#include "crypto/platform/tls_client_session.h"
#include "crypto/records/data_stream.h"

#include <QByteArray>
#include <QSharedPointer>

namespace nxcrypto {
namespace csp {

class TlsDataStreamImplPrivate
{
public:
    explicit TlsDataStreamImplPrivate(TlsClientConfig config);

    // Writes everything the session has produced to the transport.
    bool sendOutput();
    // One read of the transport into the session; false at its end.
    bool receive();
    // Logs the session's failure and makes the stream unusable.
    void failed();

    TlsClientSession session;
    QSharedPointer<DataStream> transport;
    // Plain text decrypted but not yet handed out.
    QByteArray pending;
    bool connected = false;
    bool broken = false;
};

} // namespace csp
} // namespace nxcrypto
