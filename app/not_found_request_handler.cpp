#include "not_found_request_handler.h"

#include <Poco/Net/HTTPServerResponse.h>

namespace tessel {

void NotFoundRequestHandler::handleRequest(Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response)
{
    response.setStatusAndReason(Poco::Net::HTTPResponse::HTTP_NOT_FOUND, "Not found!");
    response.setContentType("text/plain; charset=utf-8");
    response.setChunkedTransferEncoding(true);
    response.send() << "Not found!";
}

} // namespace tessel
