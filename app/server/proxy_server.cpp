#include "server/proxy_server.h"

#include "interfaces/app_config.h"
#include "server/full_request_handler_factory.h"

#include "tessel/log_record.h"

#include <Poco/Exception.h>
#include <Poco/Net/HTTPServer.h>
#include <Poco/Net/ServerSocket.h>
#include <Poco/Timespan.h>

#include <exception>

namespace tessel {

ProxyServer::ProxyServer(QObject* parent) : QObject(parent) {}

ProxyServer::~ProxyServer() = default;

void ProxyServer::start()
{
    const AppConfig* config = AppConfig::instance();
    LOG_INFO << tr("Starting proxy server on http://%1:%2...").arg(config->listenInterface()).arg(config->listenPort());
    try {
        // Only the interface the user named is bound: the proxy acts as the user towards the portal.
        const Poco::Net::SocketAddress address(config->listenInterface().toStdString(), config->listenPort());
        Poco::Net::ServerSocket socket;
        socket.bind(address, true, false);
        socket.listen(64);
        const Poco::Timespan timeout(config->networkTimeout().count(), 0);
        socket.setReceiveTimeout(timeout);
        socket.setSendTimeout(timeout);
        // Address reuse stays on: accepted connections inherit it, and without it their
        // TIME_WAIT entries would keep a restarted proxy from binding its port for a minute.
        socket.setReusePort(false);

        auto server = std::make_unique<Poco::Net::HTTPServer>(new FullRequestHandlerFactory(this), socket,
                                                              new Poco::Net::HTTPServerParams);
        m_server = std::move(server);
        m_server->start();
        LOG_INFO << tr("Server started!");
        emit started();
    } catch (const std::exception& e) {
        const auto* poco = dynamic_cast<const Poco::Exception*>(&e);
        const QString text = poco ? QString::fromStdString(poco->displayText()) : QString::fromUtf8(e.what());
        LOG_FATAL << tr("Error starting server: %1! Terminating...").arg(text);
        m_startFailed = true;
        emit finished();
    }
}

void ProxyServer::shutdown()
{
    const AppConfig* config = AppConfig::instance();
    LOG_INFO
        << tr("Shutting down proxy server on http://%1:%2").arg(config->listenInterface()).arg(config->listenPort());
    if (m_server)
        m_server->stopAll(false);
    emit finished();
}

} // namespace tessel
