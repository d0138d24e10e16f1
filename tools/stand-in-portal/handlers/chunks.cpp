#include "chunked_body_writer.h"
#include "handlers/handlers.h"
#include "pseudo_random_bytes.h"
#include "query_parameters.h"

namespace standin {

namespace {

constexpr std::uint64_t kMaxChunkSize = 16 * 1024 * 1024;
constexpr std::size_t kMaxChunkCount = 10000;

} // namespace

void serveChunks(Exchange& exchange)
{
    const QueryParameters query(exchange.request.getURI());
    const std::vector<std::uint64_t> sizes = query.numberList("sizes", kMaxChunkSize, kMaxChunkCount);
    exchange.response.header().setContentType("application/octet-stream");
    ChunkedBodyWriter writer = exchange.response.beginChunkedBody();
    PseudoRandomBytes bytes;
    for (const std::uint64_t size : sizes) {
        writer.beginChunk(static_cast<std::size_t>(size));
        bytes.generate(size, [&writer](const char* data, std::size_t count) { writer.writeData(data, count); });
        writer.endChunk();
    }
    writer.finish(query.flag("split"));
}

} // namespace standin
