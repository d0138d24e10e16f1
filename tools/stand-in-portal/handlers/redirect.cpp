#include "handlers/handlers.h"
#include "http_error.h"
#include "query_parameters.h"

namespace standin {

void serveRedirect(Exchange& exchange)
{
    using Poco::Net::HTTPResponse;
    const std::string to = QueryParameters(exchange.request.getURI()).text("to");
    std::string location;
    if (to == "self") {
        // The Host the client asked for is this portal's authority as the client knows it.
        if (!exchange.request.has("Host"))
            throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "a redirect to self needs the Host header");
        location = "https://" + exchange.request.get("Host") + "/webclient/";
    } else if (to == "elsewhere") {
        location = "http://example.invalid/x";
    } else {
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "to must be self or elsewhere");
    }
    exchange.response.header().set("Location", location);
    exchange.response.sendText(HTTPResponse::HTTP_FOUND, "text/plain; charset=utf-8", "");
}

} // namespace standin
