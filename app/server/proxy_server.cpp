#include "server/proxy_server.h"

#include "interfaces/app_config.h"
#include "server/full_request_handler_factory.h"

#include "tessel/log_record.h"

#include "server/proxy_connection.h"
#include "server/proxy_connection_factory.h"

#include <Poco/Exception.h>
#include <Poco/Net/ServerSocket.h>
#include <Poco/Net/TCPServer.h>
#include <Poco/ThreadPool.h>
#include <Poco/Timespan.h>

#include <exception>

namespace tessel {
namespace {

// Enough threads that slow or idle clients do not keep others waiting; more connections wait
// in the queue, and beyond it in the listen backlog.
constexpr int maxThreads = 128;
constexpr int maxQueued = 512;
constexpr int listenBacklog = 512;
// A kept-alive connection gives its thread back after this long without a request.
constexpr long keepAliveSeconds = 5;
// The wait for a request and its whole head.
constexpr std::chrono::seconds headBound(30);

} // namespace

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
        socket.listen(listenBacklog);
        const Poco::Timespan timeout(config->networkTimeout().count(), 0);
        socket.setReceiveTimeout(timeout);
        socket.setSendTimeout(timeout);
        // Address reuse stays on: accepted connections inherit it, and without it their
        // TIME_WAIT entries would keep a restarted proxy from binding its port for a minute.
        socket.setReusePort(false);

        security::RequestGate gate(config->listenInterface(), config->listenPort(), config->accessToken().toStdString());
        Poco::Net::HTTPServerParams::Ptr parameters(new Poco::Net::HTTPServerParams);
        parameters->setMaxThreads(maxThreads);
        parameters->setMaxQueued(maxQueued);
        parameters->setTimeout(timeout);
        parameters->setKeepAliveTimeout(Poco::Timespan(keepAliveSeconds, 0));
        m_context = std::make_unique<ConnectionContext>();
        m_context->parameters = parameters;
        m_context->handlers = new FullRequestHandlerFactory(this, std::move(gate));
        m_context->headBound = headBound;
        m_threads = std::make_unique<Poco::ThreadPool>(2, maxThreads);
        m_server = std::make_unique<Poco::Net::TCPServer>(new ProxyConnectionFactory(*m_context), *m_threads, socket,
                                                          parameters);
        m_server->start();
        LOG_INFO << tr("Server started!");
        emit started();
    } catch (const std::exception& e) {
        const auto* poco = dynamic_cast<const Poco::Exception*>(&e);
        const QString text = poco ? QString::fromStdString(poco->displayText()) : QString::fromUtf8(e.what());
        LOG_FATAL << tr("Error starting server: %1! Terminating...").arg(text);
        emit finished(1);
    }
}

void ProxyServer::shutdown()
{
    const AppConfig* config = AppConfig::instance();
    LOG_INFO
        << tr("Shutting down proxy server on http://%1:%2").arg(config->listenInterface()).arg(config->listenPort());
    if (m_server) {
        m_server->stop();
        m_context->open.stopAll();
    }
    emit finished(0);
}

} // namespace tessel
