#pragma once

#include <Poco/Net/HTTPResponse.h>

#include <stdexcept>

namespace standin {

// A request the portal refuses; the connection answers it with this status and message.
struct HttpError : std::runtime_error
{
    HttpError(Poco::Net::HTTPResponse::HTTPStatus status, const std::string& message)
        : std::runtime_error(message), status(status)
    {}

    Poco::Net::HTTPResponse::HTTPStatus status;
};

// The client went away or stopped answering; nothing more can be sent to it.
struct ConnectionLost : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

} // namespace standin
