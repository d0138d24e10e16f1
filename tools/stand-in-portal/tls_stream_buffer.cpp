#include "tls_stream_buffer.h"

namespace standin {

TlsStreamBuffer::TlsStreamBuffer(TlsConnection& connection)
    : connection_(connection)
{
    setg(input_.data(), input_.data(), input_.data());
    setp(output_.data(), output_.data() + output_.size());
}

TlsStreamBuffer::int_type TlsStreamBuffer::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    const std::size_t count = connection_.read(input_.data(), input_.size());
    if (count == 0)
        return traits_type::eof();
    setg(input_.data(), input_.data(), input_.data() + count);
    return traits_type::to_int_type(*gptr());
}

TlsStreamBuffer::int_type TlsStreamBuffer::overflow(int_type c)
{
    if (!flushOutput())
        return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

int TlsStreamBuffer::sync()
{
    return flushOutput() ? 0 : -1;
}

bool TlsStreamBuffer::flushOutput()
{
    const std::size_t count = static_cast<std::size_t>(pptr() - pbase());
    setp(output_.data(), output_.data() + output_.size());
    return connection_.write(output_.data(), count);
}

} // namespace standin
