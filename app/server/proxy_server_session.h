#pragma once

#include <Poco/Net/HTTPServerSession.h>

namespace tessel {

// POCO's server session with what the proxy's connection needs of it: whether bytes of another
// request already wait in its buffer, and the raw bytes of a body, read exactly as asked.
class ProxyServerSession : public Poco::Net::HTTPServerSession
{
public:
    using Poco::Net::HTTPServerSession::HTTPServerSession;

    bool hasBufferedInput() const { return buffered() > 0; }
    // At most length bytes: what the session holds, else one receive; 0 at the end.
    int readRaw(char* buffer, std::streamsize length) { return read(buffer, length); }
};

} // namespace tessel
