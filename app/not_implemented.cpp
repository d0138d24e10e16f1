#include "not_implemented.h"

#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>

#include <istream>

namespace tessel {

bool notImplemented(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    request.stream().ignore(std::numeric_limits<std::streamsize>::max());
    response.setStatusAndReason(Poco::Net::HTTPResponse::HTTP_NOT_IMPLEMENTED, "Not implemented");
    response.setContentType("text/plain; charset=utf-8");
    response.setChunkedTransferEncoding(true);
    response.send() << "Not implemented";
    return true;
}

} // namespace tessel
