#include "server/full_request_handler_factory.h"

#include "forwarding/proxy_request_handler.h"
#include "http/request_handler.h"
#include "interfaces/app_config.h"
#include "server/access_answer.h"
#include "server/body_skipping_handler.h"
#include "server/logging_handler.h"
#include "server/proxy_server.h"
#include "server/route_table.h"

#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>

#include <QCoreApplication>
#include <QMetaObject>

namespace tessel {

FullRequestHandlerFactory::FullRequestHandlerFactory(ProxyServer* server, security::RequestGate gate)
    : m_server(server), m_local(buildRouteTable()), m_gate(std::move(gate))
{}

bool FullRequestHandlerFactory::isLocalTarget(const std::string& target)
{
    const AppConfig* config = AppConfig::instance();
    const std::string local = config->localPrefix().toStdString();
    const std::string webclientLocal = config->webclientPrefix().toStdString() + local;
    return target.rfind(webclientLocal, 0) == 0 || target.rfind(local, 0) == 0 || target.empty() || target == "/";
}

Poco::Net::HTTPRequestHandler*
FullRequestHandlerFactory::createRequestHandler(const Poco::Net::HTTPServerRequest& request)
{
    const std::string& target = request.getURI();
    const bool local = target == "/quit" || isLocalTarget(target);
    const security::AccessDecision decision =
        m_gate.check(request, local ? security::Destination::Local : security::Destination::Portal);
    if (decision.action != security::AccessDecision::Action::Pass)
        return accessAnswer(decision);
    Poco::Net::HTTPRequestHandler* handler;
    if (target == "/quit") {
        ProxyServer* server = m_server;
        handler = new RequestHandler([server](Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response) {
            QMetaObject::invokeMethod(server, "shutdown", Qt::QueuedConnection);
            response.setKeepAlive(false);
            response.send()
                << QCoreApplication::translate("FullRequestHandlerFactory", "Proxy server stopping!").toStdString();
        });
    } else if (isLocalTarget(target)) {
        handler = bodySkippingHandler(m_local.createRequestHandler(request));
    } else {
        handler = tokenStrippingHandler(new ProxyRequestHandler, m_gate.carriers());
    }
    return loggingHandler(handler);
}

} // namespace tessel
