#include "portal_server.h"

#include "diagnostics.h"
#include "http_connection.h"
#include "tls_connection.h"

#include <Poco/Net/SocketAddress.h>

#include <fstream>

namespace standin {

namespace {

constexpr std::size_t kMaxConnections = 64;
constexpr int kListenBacklog = 64;
// How often the accept loop looks at the stop flag.
constexpr std::chrono::milliseconds kStopCheck(200);

const std::filesystem::path& createdDirectory(const std::filesystem::path& directory)
{
    std::filesystem::create_directories(directory);
    return directory;
}

} // namespace

PortalServer::PortalServer(const PortalOptions& options, RouteTable routes)
    : options_(options)
    , routes_(std::move(routes))
    , tls_(options_)
    , log_(createdDirectory(options_.stateDir))
    , listener_(Poco::Net::SocketAddress(options_.listenHost, options_.listenPort), kListenBacklog)
    , connections_(kMaxConnections)
{
}

PortalServer::~PortalServer()
{
    stop();
}

void PortalServer::start()
{
    acceptThread_ = std::thread([this] { acceptLoop(); });
    writePortFile();
}

void PortalServer::stop()
{
    stopping_ = true;
    if (acceptThread_.joinable())
        acceptThread_.join();
    connections_.stop();
}

unsigned short PortalServer::port() const
{
    return listener_.address().port();
}

void PortalServer::acceptLoop()
{
    const Poco::Timespan pollTimeout(std::chrono::duration_cast<std::chrono::microseconds>(kStopCheck).count());
    while (!stopping_) {
        if (!connections_.waitForSlot(kStopCheck) || !listener_.poll(pollTimeout, Poco::Net::Socket::SELECT_READ))
            continue;
        try {
            const Poco::Net::StreamSocket socket = listener_.acceptConnection();
            connections_.run(socket, [this, socket] { serve(socket); });
        } catch (const Poco::Exception& e) {
            printDiagnostic("accept failed: " + e.displayText());
        }
    }
}

void PortalServer::serve(const Poco::Net::StreamSocket& socket)
{
    try {
        TlsConnection tls(tls_.get(), socket, options_.ioTimeoutSeconds);
        HttpConnection(tls, routes_, log_, options_).run();
    } catch (const std::exception& e) {
        printDiagnostic("connection failed: " + std::string(e.what()));
    }
}

void PortalServer::writePortFile() const
{
    if (options_.portFile.empty())
        return;
    // Written aside and renamed, so that a reader never sees a partial number.
    std::filesystem::path partial = options_.portFile;
    partial += ".partial";
    {
        std::ofstream file(partial, std::ios::trunc);
        file << port() << '\n';
        if (!file.flush())
            throw std::runtime_error("cannot write " + partial.string());
    }
    std::filesystem::rename(partial, options_.portFile);
}

} // namespace standin
