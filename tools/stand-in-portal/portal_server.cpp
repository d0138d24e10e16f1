#include "portal_server.h"

#include "portal_connection_factory.h"
#include "portal_request_handler_factory.h"
#include "server_tls_context.h"

#include <Poco/Net/SocketAddress.h>

#include <fstream>

namespace standin {

namespace {

constexpr int kMaxConnections = 64;
// Accepted connections waiting for a thread; more are closed at once.
constexpr int kMaxWaitingConnections = 256;
constexpr int kListenBacklog = 64;

const std::filesystem::path& createdDirectory(const std::filesystem::path& directory)
{
    std::filesystem::create_directories(directory);
    return directory;
}

Poco::Net::HTTPServerParams::Ptr serverParams(const PortalOptions& options)
{
    Poco::Net::HTTPServerParams::Ptr params = new Poco::Net::HTTPServerParams;
    const Poco::Timespan ioTimeout(options.ioTimeoutSeconds, 0);
    params->setTimeout(ioTimeout);
    params->setKeepAliveTimeout(ioTimeout);
    params->setMaxThreads(kMaxConnections);
    params->setMaxQueued(kMaxWaitingConnections);
    return params;
}

} // namespace

PortalServer::PortalServer(const PortalOptions& options, RouteTable routes)
    : m_options(options),
      m_log(createdDirectory(m_options.stateDir)),
      m_threads(2, kMaxConnections),
      m_params(serverParams(m_options)),
      m_listener(Poco::Net::SocketAddress(m_options.listenHost, m_options.listenPort), kListenBacklog,
                 makeServerTlsContext(m_options)),
      m_server(new PortalConnectionFactory(m_params,
                                           new PortalRequestHandlerFactory(std::move(routes), m_log, m_options),
                                           m_openConnections),
               m_threads, m_listener, m_params)
{}

PortalServer::~PortalServer() { stop(); }

void PortalServer::start()
{
    m_server.start();
    writePortFile();
}

void PortalServer::stop()
{
    m_server.stop(); // accepts no more and drops the connections still waiting for a thread
    m_openConnections.abortAll();
    m_threads.joinAll();
}

unsigned short PortalServer::port() const { return m_listener.address().port(); }

void PortalServer::writePortFile() const
{
    if (m_options.portFile.empty())
        return;
    // Written aside and renamed, so that a reader never sees a partial number.
    std::filesystem::path partial = m_options.portFile;
    partial += ".partial";
    {
        std::ofstream file(partial, std::ios::trunc);
        file << port() << '\n';
        if (!file.flush())
            throw std::runtime_error("cannot write " + partial.string());
    }
    std::filesystem::rename(partial, m_options.portFile);
}

} // namespace standin
