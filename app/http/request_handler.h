#pragma once

#include <Poco/Net/HTTPRequestHandler.h>

#include <functional>

namespace tessel {

// A request handler made of one callable.
class RequestHandler : public Poco::Net::HTTPRequestHandler
{
public:
    using Function = std::function<void(Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse&)>;

    explicit RequestHandler(Function function) : m_function(std::move(function)) {}

    void handleRequest(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) override
    {
        m_function(request, response);
    }

private:
    Function m_function;
};

} // namespace tessel
