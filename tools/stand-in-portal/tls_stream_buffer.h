#pragma once

#include "tls_connection.h"

#include <array>
#include <streambuf>

namespace standin {

// A buffered stream over one TLS connection; a failed or timed-out read is end of stream,
// a failed write fails the stream.
class TlsStreamBuffer : public std::streambuf {
public:
    explicit TlsStreamBuffer(TlsConnection& connection);

protected:
    int_type underflow() override;
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool flushOutput();

    // One TLS record's worth, so that a full buffer goes out as one record.
    static constexpr std::size_t kBufferSize = 16384;

    TlsConnection& connection_;
    std::array<char, kBufferSize> input_;
    std::array<char, kBufferSize> output_;
};

} // namespace standin
