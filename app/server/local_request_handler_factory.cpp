#include "server/local_request_handler_factory.h"

#include "server/local_request_handler.h"
#include "server/not_found_request_handler.h"

#include <Poco/Net/HTTPServerRequest.h>

namespace tessel {

LocalRequestHandlerFactory::LocalRequestHandlerFactory(RouteList routes) : m_routes(std::move(routes)) {}

Poco::Net::HTTPRequestHandler*
LocalRequestHandlerFactory::createRequestHandler(const Poco::Net::HTTPServerRequest& request)
{
    return lookup(m_routes, 0, request);
}

Poco::Net::HTTPRequestHandler* LocalRequestHandlerFactory::lookup(const RouteList& routes, size_t from,
                                                                  const Poco::Net::HTTPServerRequest& request)
{
    const QString target = QString::fromUtf8(request.getURI().c_str());
    const QString method = QString::fromStdString(request.getMethod());
    for (size_t i = from; i < routes.size(); ++i) {
        const Route& route = routes[i];
        if ((route.method.isEmpty() || route.method == method) && route.pattern.match(target).hasMatch())
            return new LocalRequestHandler(routes, i);
    }
    return new NotFoundRequestHandler;
}

} // namespace tessel
