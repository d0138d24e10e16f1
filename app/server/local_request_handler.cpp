#include "server/local_request_handler.h"

#include "server/local_request_handler_factory.h"

#include <memory>

namespace tessel {

LocalRequestHandler::LocalRequestHandler(const RouteList& routes, size_t index) : m_routes(routes), m_index(index) {}

void LocalRequestHandler::handleRequest(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    if (m_routes[m_index].handler(request, response))
        return;
    // The declining route may have rewritten the target.
    std::unique_ptr<Poco::Net::HTTPRequestHandler> next(
        LocalRequestHandlerFactory::lookup(m_routes, m_index + 1, request));
    next->handleRequest(request, response);
}

} // namespace tessel
