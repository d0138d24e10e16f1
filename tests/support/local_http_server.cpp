#include "local_http_server.h"

#include "http/request_handler.h"

#include <Poco/Net/ServerSocket.h>
#include <Poco/ThreadPool.h>

#include <gtest/gtest.h>

namespace {

// Pool threads that outlive the tests would end after Qt's globals are gone.
class StopServerThreads : public ::testing::Environment
{
public:
    void TearDown() override { Poco::ThreadPool::defaultPool().stopAll(); }
};

const auto* const stopServerThreads = ::testing::AddGlobalTestEnvironment(new StopServerThreads);

class HandlerFactory : public Poco::Net::HTTPRequestHandlerFactory
{
public:
    explicit HandlerFactory(LocalHttpServer::Handler handler) : m_handler(std::move(handler)) {}

    Poco::Net::HTTPRequestHandler* createRequestHandler(const Poco::Net::HTTPServerRequest&) override
    {
        return new tessel::RequestHandler(m_handler);
    }

private:
    LocalHttpServer::Handler m_handler;
};

} // namespace

LocalHttpServer::LocalHttpServer(Poco::Net::HTTPRequestHandlerFactory* factory, unsigned short port)
{
    Poco::Net::ServerSocket socket(Poco::Net::SocketAddress("127.0.0.1", port));
    m_port = socket.address().port();
    m_server = std::make_unique<Poco::Net::HTTPServer>(factory, socket, new Poco::Net::HTTPServerParams);
    m_server->start();
}

LocalHttpServer::LocalHttpServer(Handler handler) : LocalHttpServer(new HandlerFactory(std::move(handler))) {}

LocalHttpServer::~LocalHttpServer() { m_server->stopAll(true); }
