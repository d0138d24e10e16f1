#pragma once

#include "http/chunked_framing.h"

#include <istream>
#include <streambuf>

namespace tessel {

// Decodes a chunked body read from another stream; the decoded data is its read area.
class HttpChunkedInputStreamImpl : public std::streambuf
{
public:
    explicit HttpChunkedInputStreamImpl(std::istream& source);

protected:
    int_type underflow() override;

private:
    static constexpr int readAreaSize = 4096;

    // Reads framing up to the next chunk's data; false at the end of the body.
    bool startChunk();

    std::istream& m_source;
    http::ChunkedFraming m_framing;
    char m_readArea[readAreaSize];
};

} // namespace tessel
