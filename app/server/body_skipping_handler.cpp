#include "server/body_skipping_handler.h"

#include "http/request_handler.h"

#include <Poco/Net/HTTPServerRequest.h>

#include <istream>
#include <limits>
#include <memory>

namespace tessel {

Poco::Net::HTTPRequestHandler* bodySkippingHandler(Poco::Net::HTTPRequestHandler* handler)
{
    std::shared_ptr<Poco::Net::HTTPRequestHandler> wrapped(handler);
    return new RequestHandler(
        [wrapped](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
            wrapped->handleRequest(request, response);
            // A request without length or chunking has no body; its stream would wait for the client to close.
            if (!request.hasContentLength() && !request.getChunkedTransferEncoding())
                return;
            request.stream().ignore(std::numeric_limits<std::streamsize>::max());
        });
}

} // namespace tessel
