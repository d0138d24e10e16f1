#include "response.h"

#include "chunked_body_writer.h"
#include "http_error.h"

namespace standin {

Response::Response(std::ostream& out, bool keepAlive)
    : out_(out)
{
    header_.setVersion(Poco::Net::HTTPMessage::HTTP_1_1);
    header_.setKeepAlive(keepAlive);
}

void Response::beginBody(std::uint64_t contentLength)
{
    header_.setContentLength64(static_cast<Poco::Int64>(contentLength));
    sendHeader();
}

void Response::writeBody(const char* data, std::size_t size)
{
    out_.write(data, static_cast<std::streamsize>(size));
    if (!out_)
        throw ConnectionLost("the client stopped taking the answer");
}

ChunkedBodyWriter Response::beginChunkedBody()
{
    header_.setChunkedTransferEncoding(true);
    sendHeader();
    return ChunkedBodyWriter(*this);
}

void Response::sendText(Poco::Net::HTTPResponse::HTTPStatus status, const std::string& contentType, const std::string& text)
{
    header_.setStatusAndReason(status);
    header_.setContentType(contentType);
    beginBody(text.size());
    writeBody(text.data(), text.size());
    flush();
}

void Response::sendNoContent()
{
    header_.setStatusAndReason(Poco::Net::HTTPResponse::HTTP_NO_CONTENT);
    sendHeader();
    flush();
}

void Response::sendContinue()
{
    Poco::Net::HTTPResponse interim(Poco::Net::HTTPMessage::HTTP_1_1, Poco::Net::HTTPResponse::HTTP_CONTINUE);
    interim.write(out_);
    flush();
}

void Response::flush()
{
    if (!out_.flush())
        throw ConnectionLost("the client stopped taking the answer");
}

void Response::sendHeader()
{
    sent_ = true;
    header_.write(out_);
    if (!out_)
        throw ConnectionLost("the client stopped taking the answer");
}

} // namespace standin
