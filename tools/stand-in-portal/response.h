#pragma once

#include <Poco/Net/HTTPResponse.h>

#include <cstdint>
#include <ostream>
#include <string>

namespace standin {

class ChunkedBodyWriter;

// The answer to one request: a header the handler fills, then one of the send calls.
class Response {
public:
    Response(std::ostream& out, bool keepAlive);

    Poco::Net::HTTPResponse& header() { return header_; }
    bool sent() const { return sent_; }
    bool keepAlive() const { return header_.getKeepAlive(); }

    // Sends the header with this Content-Length; the body follows through writeBody.
    void beginBody(std::uint64_t contentLength);
    void writeBody(const char* data, std::size_t size);
    ChunkedBodyWriter beginChunkedBody();
    void sendText(Poco::Net::HTTPResponse::HTTPStatus status, const std::string& contentType, const std::string& text);
    // 204: the header alone.
    void sendNoContent();
    // The interim answer a client waits for after "Expect: 100-continue".
    void sendContinue();

    // Pushes buffered bytes to the client; throws ConnectionLost when that fails.
    void flush();

private:
    void sendHeader();

    std::ostream& out_;
    Poco::Net::HTTPResponse header_;
    bool sent_ = false;
};

} // namespace standin
