#pragma once

#include "http/chunked_framing.h"

#include <Poco/Net/HTTPSession.h>

#include <cstddef>

namespace standin {

// A chunked request body decoded from the connection's own bytes. POCO's decoder takes broken
// framing or a connection that ends early for the end of the body; this one refuses both, and
// it reads nothing past the body's end, which belongs to the next request.
class ChunkedBodyReader
{
public:
    explicit ChunkedBodyReader(Poco::Net::HTTPSession& session) : m_session(session) {}

    // Bytes placed in buffer; 0 once the body is complete. Throws HttpError for broken framing
    // and ConnectionLost when the connection ends inside the body.
    std::size_t read(char* buffer, std::size_t size);

    bool complete() const { return m_framing.finished(); }

private:
    void readFraming();
    void readExactly(char* buffer, std::size_t size);

    Poco::Net::HTTPSession& m_session;
    tessel::http::ChunkedFraming m_framing;
};

} // namespace standin
