#include "body_skipping_handler.h"

#include "request_handler.h"

#include <Poco/Net/HTTPServerRequest.h>

#include <memory>

namespace tessel {

Poco::Net::HTTPRequestHandler* bodySkippingHandler(Poco::Net::HTTPRequestHandler* handler)
{
    std::shared_ptr<Poco::Net::HTTPRequestHandler> wrapped(handler);
    return new RequestHandler([wrapped](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
        wrapped->handleRequest(request, response);
        std::istream& body = request.stream();
        char buffer[4096];
        while (body.read(buffer, sizeof buffer) || body.gcount() > 0) {
        }
    });
}

} // namespace tessel
