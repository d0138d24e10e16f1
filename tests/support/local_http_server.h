#pragma once

#include <Poco/Net/HTTPRequestHandlerFactory.h>
#include <Poco/Net/HTTPServer.h>

#include <functional>
#include <memory>

// An HTTP server on 127.0.0.1 and a free port, for the lifetime of the object.
class LocalHttpServer
{
public:
    using Handler = std::function<void(Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse&)>;

    // Port 0: a free port.
    explicit LocalHttpServer(Poco::Net::HTTPRequestHandlerFactory* factory, unsigned short port = 0);
    explicit LocalHttpServer(Handler handler);
    ~LocalHttpServer();

    unsigned short port() const { return m_port; }

private:
    std::unique_ptr<Poco::Net::HTTPServer> m_server;
    unsigned short m_port = 0;
};
