#include "server/proxy_server_request.h"

#include "forwarding/http_chunked_input_stream.h"
#include "server/proxy_server_session.h"

namespace tessel {

ProxyServerRequest::ProxyServerRequest(Poco::Net::HTTPServerResponseImpl& response, ProxyServerSession& session,
                                       Poco::Net::HTTPServerParams* parameters)
    : Poco::Net::HTTPServerRequestImpl(response, session, parameters), m_raw(session), m_rawStream(&m_raw)
{}

ProxyServerRequest::~ProxyServerRequest() = default;

std::istream& ProxyServerRequest::stream()
{
    if (!getChunkedTransferEncoding())
        return Poco::Net::HTTPServerRequestImpl::stream();
    if (!m_chunked)
        m_chunked = std::make_unique<HTTPChunkedInputStream>(m_rawStream);
    return *m_chunked;
}

} // namespace tessel
