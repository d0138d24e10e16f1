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

    // The last start() could not open the listening socket.
    bool startFailed() const { return m_startFailed; }

signals:
    // The server listens.
    void started();
    void finished();

public slots:
    void start();
    void shutdown();

private:
    std::unique_ptr<Poco::Net::HTTPServer> m_server;
    bool m_startFailed = false;
};

} // namespace tessel
