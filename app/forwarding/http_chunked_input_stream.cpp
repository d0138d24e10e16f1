#include "forwarding/http_chunked_input_stream.h"

namespace tessel {

HTTPChunkedInputStream::HTTPChunkedInputStream(std::istream& source) : std::istream(nullptr), m_buffer(source)
{
    rdbuf(&m_buffer);
    // A broken body must reach the reader as the decoder's error, not as a quiet end.
    exceptions(std::ios::badbit);
}

} // namespace tessel
