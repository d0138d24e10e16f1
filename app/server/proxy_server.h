#pragma once

#include <QObject>

#include <memory>

namespace Poco {
class ThreadPool;
namespace Net {
class TCPServer;
}
} // namespace Poco

namespace tessel {

struct ConnectionContext;

// Owns the local HTTP server: its connections, their threads and what they share.
class ProxyServer : public QObject
{
    Q_OBJECT

public:
    explicit ProxyServer(QObject* parent);
    ~ProxyServer() override;

signals:
    // The server listens.
    void started();
    // 0 after a shutdown, 1 when the server could not start.
    void finished(int exitCode);

public slots:
    void start();
    void shutdown();

private:
    // Gone in reverse order: the server stops accepting, its threads end, then what they used.
    std::unique_ptr<ConnectionContext> m_context;
    std::unique_ptr<Poco::ThreadPool> m_threads;
    std::unique_ptr<Poco::Net::TCPServer> m_server;
};

} // namespace tessel
