#pragma once

#include <Poco/Net/TCPServerConnectionFactory.h>

namespace tessel {

struct ConnectionContext;

// Makes the proxy's connection for each browser connection the server accepts.
class ProxyConnectionFactory : public Poco::Net::TCPServerConnectionFactory
{
public:
    explicit ProxyConnectionFactory(ConnectionContext& context) : m_context(context) {}

    Poco::Net::TCPServerConnection* createConnection(const Poco::Net::StreamSocket& socket) override;

private:
    ConnectionContext& m_context;
};

} // namespace tessel
