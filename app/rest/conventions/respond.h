#pragma once

#include "rest/conventions/handle_exception.h"

#include <Poco/Net/HTTPServerResponse.h>

#include <exception>

namespace tessel::rest {

// Runs one endpoint; whatever it throws becomes an error answer. Always answers.
template <class Endpoint>
bool respond(Poco::Net::HTTPServerResponse& response, Endpoint&& endpoint)
{
    try {
        endpoint();
    } catch (const std::exception&) {
        handle_exception(response);
    }
    return true;
}

} // namespace tessel::rest
