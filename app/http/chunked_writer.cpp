#include "http/chunked_writer.h"

#include <cstdio>

namespace tessel::http {

void ChunkedWriter::writeChunk(const char* data, std::size_t size)
{
    if (size == 0)
        return;
    beginChunk(size);
    m_out.write(data, static_cast<std::streamsize>(size));
    endChunk();
}

void ChunkedWriter::beginChunk(std::size_t size)
{
    char sizeLine[24];
    const int length = std::snprintf(sizeLine, sizeof sizeLine, "%zx\r\n", size);
    m_out.write(sizeLine, length);
}

void ChunkedWriter::endChunk() { m_out.write("\r\n", 2); }

void ChunkedWriter::writeLastChunk() { m_out.write("0\r\n", 3); }

void ChunkedWriter::endTrailer() { m_out.write("\r\n", 2); }

void ChunkedWriter::finish()
{
    writeLastChunk();
    endTrailer();
    m_out.flush();
}

} // namespace tessel::http
