#include "handlers/handlers.h"
#include "http/chunked_writer.h"
#include "pseudo_random_bytes.h"
#include "query_parameters.h"

#include <chrono>
#include <thread>

namespace standin {

namespace {

constexpr std::uint64_t kMaxChunkSize = 16 * 1024 * 1024;
constexpr std::size_t kMaxChunkCount = 10000;
constexpr std::chrono::milliseconds kSplitPause(200);

} // namespace

void serveChunks(Exchange& exchange)
{
    const QueryParameters query(exchange.request.getURI());
    const std::vector<std::uint64_t> sizes = query.numberList("sizes", kMaxChunkSize, kMaxChunkCount);
    exchange.response.header().setContentType("application/octet-stream");
    std::ostream& body = exchange.response.beginChunkedBody();
    tessel::http::ChunkedWriter writer(body);
    PseudoRandomBytes bytes;
    for (const std::uint64_t size : sizes) {
        writer.beginChunk(static_cast<std::size_t>(size));
        bytes.generate(size, [&body](const char* data, std::size_t count) {
            body.write(data, static_cast<std::streamsize>(count));
        });
        writer.endChunk();
    }
    writer.writeLastChunk();
    if (query.flag("split")) {
        // Two flushed writes with a pause between, so that a client sees the end arrive across two reads.
        body.flush();
        std::this_thread::sleep_for(kSplitPause);
    }
    if (query.flag("trailer"))
        body << "X-Test-Chunks: " << sizes.size() << "\r\nX-Test-End: 1\r\n";
    writer.endTrailer();
    body.flush();
}

} // namespace standin
