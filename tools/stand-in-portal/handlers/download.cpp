#include "handlers/handlers.h"
#include "http/chunked_writer.h"
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
        tessel::http::ChunkedWriter writer(response.beginChunkedBody());
        bytes.generate(size, [&writer](const char* data, std::size_t count) { writer.writeChunk(data, count); });
        writer.finish();
        return;
    }
    std::ostream& body = response.beginBody(size);
    bytes.generate(size, [&body](const char* data, std::size_t count) {
        body.write(data, static_cast<std::streamsize>(count));
    });
    response.flush();
}

} // namespace standin
