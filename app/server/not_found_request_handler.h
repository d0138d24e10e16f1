#pragma once

#include <Poco/Net/HTTPRequestHandler.h>

namespace tessel {

// 404 "Not found!" for local targets that no route answers.
class NotFoundRequestHandler : public Poco::Net::HTTPRequestHandler
{
public:
    void handleRequest(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) override;
};

} // namespace tessel
