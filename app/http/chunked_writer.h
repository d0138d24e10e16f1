#pragma once

#include <cstddef>
#include <ostream>

namespace tessel::http {

// Writes a body in the chunked transfer coding onto a stream.
class ChunkedWriter
{
public:
    explicit ChunkedWriter(std::ostream& out) : m_out(out) {}

    // Nothing for an empty block: an empty chunk would end the body.
    void writeChunk(const char* data, std::size_t size);
    // The size line of a chunk whose size bytes the caller writes to the stream before
    // endChunk(), so that a large chunk need not be held whole.
    void beginChunk(std::size_t size);
    void endChunk();
    // The last chunk, then the empty line that ends its trailer; apart, for a writer that
    // wants the end of the body to arrive in two pieces.
    void writeLastChunk();
    void endTrailer();
    // The last chunk with its empty trailer, flushed.
    void finish();

private:
    std::ostream& m_out;
};

} // namespace tessel::http
