#include "server/not_found_request_handler.h"

#include "server/plain_text_answer.h"

namespace tessel {

void NotFoundRequestHandler::handleRequest(Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response)
{
    sendPlainTextStatus(response, Poco::Net::HTTPResponse::HTTP_NOT_FOUND, "Not found!");
}

} // namespace tessel
