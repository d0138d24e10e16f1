#include "not_implemented.h"

#include "plain_text_answer.h"

#include <Poco/Net/HTTPServerRequest.h>

#include <istream>
#include <limits>

namespace tessel {

bool notImplemented(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    request.stream().ignore(std::numeric_limits<std::streamsize>::max());
    sendPlainTextStatus(response, Poco::Net::HTTPResponse::HTTP_NOT_IMPLEMENTED, "Not implemented");
    return true;
}

} // namespace tessel
