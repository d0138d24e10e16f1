#include "portal_request_handler_factory.h"

#include "portal_request_handler.h"

namespace standin {

Poco::Net::HTTPRequestHandler* PortalRequestHandlerFactory::createRequestHandler(const Poco::Net::HTTPServerRequest&)
{
    return new PortalRequestHandler(m_routes, m_log, m_options);
}

} // namespace standin
