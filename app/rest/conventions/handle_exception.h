#pragma once

namespace Poco::Net {
class HTTPServerResponse;
}

namespace tessel::rest {

// Called inside a catch block: answers the exception in flight with 400, 404 or 500.
void handle_exception(Poco::Net::HTTPServerResponse& response);

} // namespace tessel::rest
