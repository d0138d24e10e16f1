#pragma once

#include "crypto/records/data_stream.h"
#include "crypto/records/tls_failure.h"

#include <QSharedPointer>

#include <memory>

namespace nxcrypto {
namespace csp {

class TlsDataStreamImplPrivate;

// A TLS 1.2 client with the GOST suites over another byte stream (usually a socket).
// Reads give the plain text of the records as they are decrypted, writes go out in records
// of at most 16384 plain bytes. A stream whose handshake failed reads empty and writes -1.
class TlsDataStreamImpl : public DataStream, public TlsFailure
{
public:
    explicit TlsDataStreamImpl(std::unique_ptr<TlsDataStreamImplPrivate> d);
    ~TlsDataStreamImpl() override;

    // Runs the client handshake over transport. False when it failed; the reason is logged
    // and the platform's last error set. The client credentials' exceptions (such as
    // ClientAuthNeeded) pass through.
    bool connect(const QSharedPointer<DataStream>& transport);

    // Plain bytes taken (all of data), or -1.
    qint64 write(const QByteArray& data) override;
    // At most maxSize bytes of the next decrypted record; what is left of a record comes with
    // the next read. Empty at the end (the server closed the connection) or on failure.
    QByteArray read(qint64 maxSize) override;

    QString failureReason() const override;
    bool serverCertificateRefused() const override;

private:
    std::unique_ptr<TlsDataStreamImplPrivate> d;
};

} // namespace csp
} // namespace nxcrypto
