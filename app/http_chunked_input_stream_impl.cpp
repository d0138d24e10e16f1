#include "http_chunked_input_stream_impl.h"

#include "chunk_size_digits.h"

#include "crypto/platform/hex_text.h"

#include "tessel/exception.h"

#include <algorithm>

namespace tessel {
namespace {

[[noreturn]] void throwEnded()
{
    throw utils::exception(QStringLiteral("Underlying stream has unexpectedly ended"));
}

[[noreturn]] void throwUnexpected()
{
    throw utils::exception(QStringLiteral("Unexpected data in underlying stream"));
}

} // namespace

HttpChunkedInputStreamImpl::HttpChunkedInputStreamImpl(std::istream& source) : m_source(source)
{
}

HttpChunkedInputStreamImpl::int_type HttpChunkedInputStreamImpl::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (m_ended)
        return traits_type::eof();
    if (m_chunkLeft == 0 && !startChunk()) {
        m_ended = true;
        return traits_type::eof();
    }
    m_source.read(m_readArea, std::min<qint64>(m_chunkLeft, readAreaSize));
    const std::streamsize count = m_source.gcount();
    if (count <= 0)
        throw utils::exception(QStringLiteral("Underlying stream has unexpectedly ended."));
    m_chunkLeft -= count;
    setg(m_readArea, m_readArea, m_readArea + count);
    return traits_type::to_int_type(*gptr());
}

bool HttpChunkedInputStreamImpl::startChunk()
{
    if (!m_firstChunk) {
        expect('\r');
        expect('\n');
    }
    m_firstChunk = false;
    m_chunkLeft = readSizeLine();
    if (m_chunkLeft > 0)
        return true;
    expect('\r');
    expect('\n');
    return false;
}

qint64 HttpChunkedInputStreamImpl::readSizeLine()
{
    char c = nextCharacter();
    if (nxcrypto::csp::hexDigitValue(c) < 0)
        throwUnexpected();
    qint64 size = 0;
    for (; nxcrypto::csp::hexDigitValue(c) >= 0; c = nextCharacter()) {
        if (!appendChunkSizeDigit(size, nxcrypto::csp::hexDigitValue(c)))
            throwUnexpected();
    }
    while (c != '\r') // a chunk extension
        c = nextCharacter();
    expect('\n');
    return size;
}

void HttpChunkedInputStreamImpl::expect(char c)
{
    if (nextCharacter() != c)
        throwUnexpected();
}

int HttpChunkedInputStreamImpl::nextCharacter()
{
    const int c = m_source.get();
    if (c == std::istream::traits_type::eof())
        throwEnded();
    return c;
}

} // namespace tessel
