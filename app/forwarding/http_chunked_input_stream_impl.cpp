#include "forwarding/http_chunked_input_stream_impl.h"

#include "tessel/exception.h"

#include <algorithm>

namespace tessel {

HttpChunkedInputStreamImpl::HttpChunkedInputStreamImpl(std::istream& source) : m_source(source) {}

HttpChunkedInputStreamImpl::int_type HttpChunkedInputStreamImpl::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (!startChunk())
        return traits_type::eof();
    m_source.read(m_readArea, std::min<std::int64_t>(m_framing.dataLeft(), readAreaSize));
    const std::streamsize count = m_source.gcount();
    if (count <= 0)
        throw utils::exception(QStringLiteral("Underlying stream has unexpectedly ended."));
    m_framing.takeData(count);
    setg(m_readArea, m_readArea, m_readArea + count);
    return traits_type::to_int_type(*gptr());
}

bool HttpChunkedInputStreamImpl::startChunk()
{
    while (m_framing.dataLeft() == 0) {
        if (m_framing.finished())
            return false;
        const int c = m_source.get();
        if (c == std::istream::traits_type::eof())
            throw utils::exception(QStringLiteral("Underlying stream has unexpectedly ended"));
        const char byte = char(c);
        m_framing.readFraming(&byte, 1);
        if (m_framing.failed())
            throw utils::exception(QStringLiteral("Unexpected data in underlying stream"));
    }
    return true;
}

} // namespace tessel
