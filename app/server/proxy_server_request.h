#pragma once

#include "forwarding/http_chunked_input_stream.h"
#include "server/session_input_buffer.h"

#include <Poco/Net/HTTPServerRequestImpl.h>

#include <istream>
#include <memory>

namespace tessel {

class ProxyServerSession;

// POCO's server request whose chunked body is read by the proxy's own decoder: a broken chunk
// line or a body cut short is an error, not the end of the body.
class ProxyServerRequest : public Poco::Net::HTTPServerRequestImpl
{
public:
    ProxyServerRequest(Poco::Net::HTTPServerResponseImpl& response, ProxyServerSession& session,
                       Poco::Net::HTTPServerParams* parameters);
    ~ProxyServerRequest() override;

    std::istream& stream() override;
    // The chunked body broke its framing or ended early while it was read.
    bool bodyBroken() const { return m_chunked && m_chunked->bad(); }

private:
    SessionInputBuffer m_raw;
    std::istream m_rawStream;
    std::unique_ptr<HTTPChunkedInputStream> m_chunked;
};

} // namespace tessel
