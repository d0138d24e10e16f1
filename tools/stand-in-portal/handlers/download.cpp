#include "chunked_body_writer.h"
#include "handlers/handlers.h"
#include "pseudo_random_bytes.h"
#include "query_parameters.h"

namespace standin {

namespace {

constexpr std::uint64_t kMaxSize = std::uint64_t(1) << 40;

} // namespace

void serveDownload(Exchange& exchange)
{
    const QueryParameters query(exchange.request.getURI());
    const std::uint64_t size = query.number("size", kMaxSize);
    Response& response = exchange.response;
    response.header().setContentType("application/octet-stream");
    PseudoRandomBytes bytes;
    if (query.flag("chunked")) {
        ChunkedBodyWriter writer = response.beginChunkedBody();
        bytes.generate(size, [&writer](const char* data, std::size_t count) { writer.writeChunk(data, count); });
        writer.finish(false);
        return;
    }
    response.beginBody(size);
    bytes.generate(size, [&response](const char* data, std::size_t count) { response.writeBody(data, count); });
    response.flush();
}

} // namespace standin
