#pragma once

#include <QObject>

#include <memory>

namespace Poco::Net {
class HTTPServer;
}

namespace tessel {

// Owns the local HTTP server.
class ProxyServer : public QObject
{
    Q_OBJECT

public:
    explicit ProxyServer(QObject* parent);
    ~ProxyServer() override;

signals:
    // 0 after a shutdown, 1 when the server could not start.
    void finished(int exitCode);

public slots:
    void start();
    void shutdown();

private:
    std::unique_ptr<Poco::Net::HTTPServer> m_server;
};

} // namespace tessel
