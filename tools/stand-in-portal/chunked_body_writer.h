#pragma once

#include <cstddef>

namespace standin {

class Response;

// Writes a chunked answer body: chunks, then the last chunk and an empty trailer.
class ChunkedBodyWriter {
public:
    explicit ChunkedBodyWriter(Response& response);

    void writeChunk(const char* data, std::size_t size);
    // A chunk whose size bytes the caller writes with writeData before endChunk, so that a
    // large chunk need not be held whole.
    void beginChunk(std::size_t size);
    void writeData(const char* data, std::size_t size);
    void endChunk();
    // splitEnd sends the last chunk and the trailer in two flushed writes with a pause between,
    // so that a client sees the terminator arrive across two reads.
    void finish(bool splitEnd);

private:
    Response& response_;
};

} // namespace standin
