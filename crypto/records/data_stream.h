#pragma once

#include <QByteArray>

namespace nxcrypto {

// A byte stream: the TLS client stream and the proxy's socket and HTTP adapters.
class DataStream
{
public:
    virtual ~DataStream() = default;
    // Bytes taken, or -1 on failure.
    virtual qint64 write(const QByteArray& data) = 0;
    // Up to maxSize bytes; empty at the end of the stream or on failure.
    virtual QByteArray read(qint64 maxSize) = 0;
};

} // namespace nxcrypto
