#include "crypto/engine/tls_data_stream_impl.h"

#include "crypto/engine/log_hook.h"
#include "crypto/engine/tls_data_stream_impl_p.h"
#include "crypto/platform/tls_error_codes.h"

#include <algorithm>
#include <utility>

namespace nxcrypto {
namespace csp {

namespace {

// Input is taken from the transport in pieces of this size.
constexpr qint64 kTransportReadSize = 4096;

} // namespace

TlsDataStreamImplPrivate::TlsDataStreamImplPrivate(TlsClientConfig config) : session(std::move(config)) {}

bool TlsDataStreamImplPrivate::sendOutput()
{
    const std::string output = session.takeOutput();
    for (std::size_t sent = 0; sent < output.size();) {
        const qint64 taken = transport->write(QByteArray(output.data() + sent, static_cast<int>(output.size() - sent)));
        if (taken <= 0) {
            session.fail(err::kSecEInternalError, "the connection to the server does not take data");
            return false;
        }
        sent += static_cast<std::size_t>(taken);
    }
    return true;
}

bool TlsDataStreamImplPrivate::receive()
{
    const QByteArray input = transport->read(kTransportReadSize);
    if (input.isEmpty())
        return false;
    session.feed(input.constData(), static_cast<std::size_t>(input.size()));
    return true;
}

void TlsDataStreamImplPrivate::failed()
{
    log(LogLevel::Warn, QString::fromStdString(session.failureReason()));
    broken = true;
    connected = false;
}

TlsDataStreamImpl::TlsDataStreamImpl(std::unique_ptr<TlsDataStreamImplPrivate> d) : d(std::move(d)) {}

TlsDataStreamImpl::~TlsDataStreamImpl() = default;

QString TlsDataStreamImpl::failureReason() const
{
    return d->broken ? QString::fromStdString(d->session.failureReason()) : QString();
}

bool TlsDataStreamImpl::serverCertificateRefused() const
{
    const uint32_t code = d->session.failureCode();
    return d->broken
           && (code == err::kSecEUntrustedRoot || code == err::kSecECertUnknown || code == err::kSecECertExpired
               || code == err::kSecEWrongPrincipal);
}

bool TlsDataStreamImpl::connect(const QSharedPointer<DataStream>& transport)
{
    d->transport = transport;
    if (!d->session.start()) {
        d->failed();
        return false;
    }
    for (;;) {
        const TlsClientSession::Status status = d->session.handshake();
        if (status == TlsClientSession::Status::Ok) {
            // The last flight of a resumed handshake waits to go out with the first request,
            // in one transport write.
            d->connected = true;
            return true;
        }
        if (!d->sendOutput() || status != TlsClientSession::Status::WantInput)
            break;
        if (!d->receive()) {
            d->session.fail(err::kSecEIncompleteMessage, "the server closed the connection during the TLS handshake");
            break;
        }
    }
    d->failed();
    return false;
}

qint64 TlsDataStreamImpl::write(const QByteArray& data)
{
    if (d->broken || !d->connected)
        return -1;
    const std::size_t size = static_cast<std::size_t>(data.size());
    for (std::size_t sum = 0; sum < size;) {
        const std::size_t count = std::min(TlsClientSession::kMaxRecordPlainText, size - sum);
        if (!d->session.encrypt(data.constData() + sum, count) || !d->sendOutput()) {
            d->failed();
            return -1;
        }
        sum += count;
    }
    return data.size();
}

QByteArray TlsDataStreamImpl::read(qint64 maxSize)
{
    if (maxSize <= 0 || d->broken)
        return {};
    if (d->pending.isEmpty() && d->connected) {
        QByteArray record(static_cast<int>(TlsClientSession::kMaxRecordPlainText), Qt::Uninitialized);
        std::size_t taken = 0;
        for (bool done = false; !done;) {
            const TlsClientSession::Status status = d->session.decrypt(record.data(), record.size(), &taken);
            // Alerts and renegotiation answers go out as they are made.
            if (!d->sendOutput()) {
                d->failed();
                return {};
            }
            switch (status) {
            case TlsClientSession::Status::Ok:
                record.resize(static_cast<int>(taken));
                d->pending = record;
                done = true;
                break;
            case TlsClientSession::Status::WantInput:
                if (!d->receive())
                    return {}; // the transport ended without a TLS close
                break;
            case TlsClientSession::Status::Closed:
                d->session.close();
                d->sendOutput();
                d->connected = false;
                return {};
            case TlsClientSession::Status::Failed:
                d->failed();
                return {};
            }
        }
    }
    if (maxSize >= d->pending.size())
        return std::exchange(d->pending, QByteArray());
    const QByteArray result = d->pending.left(static_cast<int>(maxSize));
    d->pending.remove(0, result.size());
    return result;
}

} // namespace csp
} // namespace nxcrypto
