#pragma once

#include <Poco/Net/HTTPServerRequestImpl.h>
#include <Poco/Net/HTTPServerResponse.h>
#include <Poco/Net/SocketStream.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace standin {

// The answer to one request: a header the handler fills, then one of the send calls. Body
// streams throw when the client stops taking the answer.
class Response
{
public:
    Response(Poco::Net::HTTPServerRequestImpl& request, Poco::Net::HTTPServerResponse& response)
        : m_request(request), m_response(response)
    {}

    Poco::Net::HTTPServerResponse& header() { return m_response; }
    bool sent() const { return m_response.sent() || m_socketStream.has_value(); }
    bool keepAlive() const { return m_response.getKeepAlive(); }
    // The connection closes after this answer.
    void closeAfterwards() { m_response.setKeepAlive(false); }

    // Sends the header with this Content-Length; the body follows on the stream.
    std::ostream& beginBody(std::uint64_t contentLength);
    // Sends the header of a chunked answer; the body follows on the stream in the framing of
    // tessel::http::ChunkedWriter, so that a handler decides where a write ends.
    std::ostream& beginChunkedBody();
    void sendText(Poco::Net::HTTPResponse::HTTPStatus status, const std::string& contentType, const std::string& text);
    // 204: the header alone.
    void sendNoContent();
    // Pushes what the body stream holds to the client.
    void flush();

private:
    std::ostream& useBody(std::ostream& body);

    Poco::Net::HTTPServerRequestImpl& m_request;
    Poco::Net::HTTPServerResponse& m_response;
    std::ostream* m_body = nullptr;
    // POCO frames a chunked answer itself; this one is written on the connection's socket.
    std::optional<Poco::Net::SocketOutputStream> m_socketStream;
};

} // namespace standin
