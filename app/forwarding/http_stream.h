#pragma once

#include "forwarding/chunked_body_tracker.h"

#include "crypto/records/data_stream.h"

#include <QByteArray>
#include <QSharedPointer>

namespace tessel {

// Passes one HTTP exchange through and watches the response bytes it reads, so that reads
// end where the response ends even when the server keeps the connection open.
class HttpStream : public nxcrypto::DataStream
{
public:
    explicit HttpStream(QSharedPointer<nxcrypto::DataStream> underlying);

    qint64 write(const QByteArray& data) override;
    // The next block as it came; empty once the response is complete.
    QByteArray read(qint64 maxSize) override;

    // The final response's status code; 0 before its header block has been read.
    int status() const { return m_status; }

    // An interim answer ("100 Continue") comes before the real one on the same stream;
    // 101 switches protocols, after which nothing is HTTP any more.
    static bool isInterim(int status);

private:
    void feed(const QByteArray& block);
    void feedHeaders(const QByteArray& block);
    void feedBody(const char* data, qint64 size);
    // Takes the status and the body framing from one complete header block.
    void startBody(const QByteArray& headerBlock, const char* body, qint64 bodySize);
    void completeWhenLengthReached();

    QSharedPointer<nxcrypto::DataStream> m_underlying;
    qint64 m_contentLength = -1;
    qint64 m_bodyRead = -1;
    bool m_inHeaders = true;
    bool m_chunked = false;
    bool m_done = false;
    QByteArray m_headerBuffer;
    int m_status = 0;
    ChunkedBodyTracker m_chunks;
};

} // namespace tessel
