#pragma once

#include <streambuf>

namespace tessel {

class ProxyServerSession;

// The raw bytes of a request body as a stream buffer that never reads ahead of what its reader
// asks for, so that the bytes of the next request stay in the session.
class SessionInputBuffer : public std::streambuf
{
public:
    explicit SessionInputBuffer(ProxyServerSession& session) : m_session(session) {}

protected:
    int_type underflow() override;
    std::streamsize xsgetn(char* buffer, std::streamsize count) override;

private:
    ProxyServerSession& m_session;
    char m_next = 0;
};

} // namespace tessel
