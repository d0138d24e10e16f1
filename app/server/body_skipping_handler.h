#pragma once

namespace Poco::Net {
class HTTPRequestHandler;
}

namespace tessel {

// Wraps a handler so that the part of the request body it left unread is read away after it
// answered: on a kept-alive connection those bytes would otherwise be taken for the next
// request. Takes ownership of the wrapped handler.
Poco::Net::HTTPRequestHandler* bodySkippingHandler(Poco::Net::HTTPRequestHandler* handler);

} // namespace tessel
