#pragma once

#include "portal_options.h"
#include "request_body.h"
#include "response.h"

#include <Poco/Net/HTTPServerRequest.h>

#include <string>

namespace standin {

// What a route handler gets for one request.
struct Exchange
{
    const Poco::Net::HTTPServerRequest& request;
    RequestBody& body;
    Response& response;
    // Subject of the verified client certificate; empty when the client presented none.
    const std::string& clientSubject;
    const PortalOptions& portal;
};

} // namespace standin
