#pragma once

#include <QString>

#include <exception>

namespace Poco::Net {
class HTTPRequestHandler;
}

namespace tessel {

// Wraps a handler so that an exception escaping it is logged with the request target
// before it goes on to the HTTP library. Takes ownership of the wrapped handler.
Poco::Net::HTTPRequestHandler* loggingHandler(Poco::Net::HTTPRequestHandler* handler);

// The exception and its nested causes, one per line after the first.
QString exceptionText(const std::exception& error);

} // namespace tessel
