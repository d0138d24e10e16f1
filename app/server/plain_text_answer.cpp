#include "server/plain_text_answer.h"

#include <Poco/Net/HTTPServerResponse.h>

namespace tessel {

void sendPlainTextStatus(Poco::Net::HTTPServerResponse& response, Poco::Net::HTTPResponse::HTTPStatus status,
                         const std::string& text)
{
    response.setStatusAndReason(status, text);
    response.setContentType("text/plain; charset=utf-8");
    response.setChunkedTransferEncoding(true);
    response.send() << text;
}

} // namespace tessel
