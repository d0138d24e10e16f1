#pragma once

#include "chunked_body_reader.h"

#include <Poco/Net/HTTPServerRequestImpl.h>

#include <cstdint>
#include <istream>
#include <optional>

namespace standin {

// The body of one request, read in pieces as the handler asks: fixed length, chunked or none.
// A request without Content-Length or Transfer-Encoding has none, whatever its method.
class RequestBody
{
public:
    // Throws HttpError for framing headers the portal does not accept.
    explicit RequestBody(Poco::Net::HTTPServerRequestImpl& request);

    // Bytes placed in buffer; 0 once the body is complete. Throws HttpError for a broken chunk
    // framing and ConnectionLost when the connection ends inside the body.
    std::size_t read(char* buffer, std::size_t size);

    bool complete() const;

    // Reads and drops what is left when that is at most limit bytes; false when more is left.
    bool skipRest(std::uint64_t limit);

private:
    std::size_t readFixedLength(char* buffer, std::size_t size);

    // POCO's reader of a Content-Length body; null for a chunked body or none.
    std::istream* m_fixedLength = nullptr;
    std::uint64_t m_remaining = 0;
    std::optional<ChunkedBodyReader> m_chunked;
};

} // namespace standin
