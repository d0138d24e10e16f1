#pragma once

#include "forwarding/http_chunked_input_stream_impl.h"

#include <istream>

namespace tessel {

// The decoded body of a chunked response read from source; a broken body throws.
class HTTPChunkedInputStream : public std::istream
{
public:
    explicit HTTPChunkedInputStream(std::istream& source);

private:
    HttpChunkedInputStreamImpl m_buffer;
};

} // namespace tessel
