#include "response.h"

namespace standin {

std::ostream& Response::beginBody(std::uint64_t contentLength)
{
    m_response.setContentLength64(static_cast<Poco::Int64>(contentLength));
    return useBody(m_response.send());
}

std::ostream& Response::beginChunkedBody()
{
    m_response.setChunkedTransferEncoding(true);
    m_socketStream.emplace(m_request.socket());
    m_response.write(useBody(*m_socketStream));
    return *m_body;
}

void Response::sendText(Poco::Net::HTTPResponse::HTTPStatus status, const std::string& contentType,
                        const std::string& text)
{
    m_response.setStatusAndReason(status);
    m_response.setContentType(contentType);
    m_response.sendBuffer(text.data(), text.size());
}

void Response::sendNoContent()
{
    m_response.setStatusAndReason(Poco::Net::HTTPResponse::HTTP_NO_CONTENT);
    useBody(m_response.send()).flush();
}

void Response::flush()
{
    if (m_body)
        m_body->flush();
}

std::ostream& Response::useBody(std::ostream& body)
{
    // A failed write stops the handler at once, not after it has made the whole body.
    body.exceptions(std::ios::badbit);
    m_body = &body;
    return body;
}

} // namespace standin
