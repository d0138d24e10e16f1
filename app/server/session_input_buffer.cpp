#include "server/session_input_buffer.h"

#include "server/proxy_server_session.h"

namespace tessel {

SessionInputBuffer::int_type SessionInputBuffer::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (m_session.readRaw(&m_next, 1) <= 0)
        return traits_type::eof();
    setg(&m_next, &m_next, &m_next + 1);
    return traits_type::to_int_type(m_next);
}

std::streamsize SessionInputBuffer::xsgetn(char* buffer, std::streamsize count)
{
    std::streamsize taken = 0;
    if (gptr() < egptr() && count > 0) {
        buffer[taken++] = *gptr();
        gbump(1);
    }
    while (taken < count) {
        const int read = m_session.readRaw(buffer + taken, count - taken);
        if (read <= 0)
            break;
        taken += read;
    }
    return taken;
}

} // namespace tessel
