#include "fuzz_server_request.h"

#include <Poco/Exception.h>

FuzzServerRequest::FuzzServerRequest(const std::string& contentType, std::string body) : m_body(std::move(body))
{
    setMethod(HTTP_POST);
    setContentType(contentType);
}

const Poco::Net::HTTPServerParams& FuzzServerRequest::serverParams() const
{
    throw Poco::NotImplementedException("a fuzzed request has no server");
}

Poco::Net::HTTPServerResponse& FuzzServerRequest::response() const
{
    throw Poco::NotImplementedException("a fuzzed request has no response");
}
