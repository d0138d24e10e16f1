#include "chunked_body_writer.h"

#include "response.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace standin {

namespace {

constexpr std::chrono::milliseconds kSplitPause(200);

} // namespace

ChunkedBodyWriter::ChunkedBodyWriter(Response& response)
    : response_(response)
{
}

void ChunkedBodyWriter::writeChunk(const char* data, std::size_t size)
{
    if (size == 0)
        return; // an empty chunk would end the body
    beginChunk(size);
    writeData(data, size);
    endChunk();
}

void ChunkedBodyWriter::beginChunk(std::size_t size)
{
    char sizeLine[24];
    const int length = std::snprintf(sizeLine, sizeof sizeLine, "%zx\r\n", size);
    response_.writeBody(sizeLine, static_cast<std::size_t>(length));
}

void ChunkedBodyWriter::writeData(const char* data, std::size_t size)
{
    response_.writeBody(data, size);
}

void ChunkedBodyWriter::endChunk()
{
    response_.writeBody("\r\n", 2);
}

void ChunkedBodyWriter::finish(bool splitEnd)
{
    if (!splitEnd) {
        response_.writeBody("0\r\n\r\n", 5);
        response_.flush();
        return;
    }
    response_.writeBody("0\r\n", 3);
    response_.flush();
    std::this_thread::sleep_for(kSplitPause);
    response_.writeBody("\r\n", 2);
    response_.flush();
}

} // namespace standin
