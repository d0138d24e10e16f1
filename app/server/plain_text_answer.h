#pragma once

#include <Poco/Net/HTTPResponse.h>

#include <string>

namespace Poco::Net {
class HTTPServerResponse;
}

namespace tessel {

// A chunked plain-text answer whose body repeats its reason phrase.
void sendPlainTextStatus(Poco::Net::HTTPServerResponse& response, Poco::Net::HTTPResponse::HTTPStatus status,
                         const std::string& text);

} // namespace tessel
