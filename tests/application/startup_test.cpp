#include "support/http_test_client.h"
#include "support/local_ports.h"
#include "support/proxy_process.h"

#include <gtest/gtest.h>

#include <Poco/Net/HTTPClientSession.h>
#include <Poco/Net/HTTPRequest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QStringList entriesOf(const QDir& dir) { return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

// The datagram socket on which a service manager hears what the proxy tells it.
class ServiceManagerSocket
{
public:
    ServiceManagerSocket()
    {
        const QByteArray path = m_directory.filePath(QStringLiteral("notify")).toLocal8Bit();
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
        m_fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (m_fd < 0 || bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            throw std::runtime_error("cannot bind " + path.toStdString());
    }
    ~ServiceManagerSocket() { close(m_fd); }
    ServiceManagerSocket(const ServiceManagerSocket&) = delete;
    ServiceManagerSocket& operator=(const ServiceManagerSocket&) = delete;

    QString path() const { return m_directory.filePath(QStringLiteral("notify")); }

    // The next notice, or "" when none comes within the timeout.
    QString next(int timeoutMs = 10000) const
    {
        pollfd ready{m_fd, POLLIN, 0};
        if (poll(&ready, 1, timeoutMs) != 1)
            return QString();
        char notice[512];
        const ssize_t size = recv(m_fd, notice, sizeof notice, 0);
        return size > 0 ? QString::fromLatin1(notice, static_cast<int>(size)) : QString();
    }

private:
    QTemporaryDir m_directory;
    int m_fd = -1;
};

} // namespace

TEST(Startup, VersionPrintsOnlyTheVersionAndTouchesNothing)
{
    ProxyProcess proxy;
    EXPECT_EQ(proxy.run({QStringLiteral("--version")}), 0);
    EXPECT_EQ(proxy.standardOutput(), "1.3.1");
    EXPECT_TRUE(entriesOf(proxy.home()).isEmpty()) << entriesOf(proxy.home()).join(' ').toStdString();
}

TEST(Startup, HelpWinsOverVersion)
{
    ProxyProcess proxy;
    EXPECT_EQ(proxy.run({QStringLiteral("--version"), QStringLiteral("--help")}), 0);
    EXPECT_TRUE(proxy.standardOutput().contains(QStringLiteral("--config <filepath>")));
    EXPECT_TRUE(proxy.standardOutput().contains(QStringLiteral("Output messages to the console")));
    EXPECT_TRUE(entriesOf(proxy.home()).isEmpty());
}

TEST(Startup, ServesUntilQuitAndLogsToStderr)
{
    ProxyProcess proxy;
    const unsigned short port = freeLocalPort();
    const QString config = proxy.writeConfig(port);
    ASSERT_TRUE(
        proxy.start({QStringLiteral("--stderr"), QStringLiteral("--no-such-option"), QStringLiteral("-c"), config}))
        << proxy.standardError().toStdString();
    EXPECT_EQ(proxy.standardOutput(),
              "Starting velmar-portal-proxy ver. 1.3.1 made by CJSC Kelvara (http://kelvara.example)...\n");

    EXPECT_EQ(httpRequest(port, "GET", "/").header("Location"), "/webclient/");
    EXPECT_EQ(httpRequest(port, "GET", "/local/rest/v1/ping").status, 204);
    const HttpAnswer quit = httpRequest(port, "GET", "/quit");
    EXPECT_EQ(quit.status, 200);
    EXPECT_EQ(quit.body, "Proxy server stopping!");
    EXPECT_FALSE(quit.has("Content-Type"));

    EXPECT_EQ(proxy.waitForExit(), 0);
    const QStringList lines = proxy.standardError().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4);
    EXPECT_TRUE(lines[lines.size() - 3].endsWith(QStringLiteral("INFO : Stopping velmar-portal-proxy")));
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("INFO : ") + QString(100, QLatin1Char('*'))));
    EXPECT_TRUE(proxy.standardError().contains(
        QStringLiteral("INFO : Starting proxy server on http://127.0.0.1:%1...").arg(port)));
    // With --stderr no logs directory is made.
    EXPECT_FALSE(QFileInfo::exists(proxy.home().filePath(QStringLiteral("logs"))));
}

TEST(Startup, ListensOnlyOnTheConfiguredInterface)
{
    ProxyProcess proxy;
    const unsigned short port = freeLocalPort();
    ASSERT_TRUE(proxy.start({QStringLiteral("--stderr"), QStringLiteral("-c"), proxy.writeConfig(port)}));
    EXPECT_EQ(httpRequest(port, "GET", "/local").status, 302);
    // 127.0.0.2 is another loopback address: a wildcard bind would answer there too.
    EXPECT_THROW(
        {
            Poco::Net::HTTPClientSession session("127.0.0.2", port);
            Poco::Net::HTTPRequest request("GET", "/local");
            session.sendRequest(request);
        },
        Poco::Exception);
    httpRequest(port, "GET", "/quit");
    EXPECT_EQ(proxy.waitForExit(), 0);
}

TEST(Startup, SecondInstanceOnTheSamePortFailsToStart)
{
    ProxyProcess first;
    const unsigned short port = freeLocalPort();
    ASSERT_TRUE(first.start({QStringLiteral("--stderr"), QStringLiteral("-c"), first.writeConfig(port)}));

    // A launcher tells a proxy that could not listen by its exit code.
    ProxyProcess second;
    EXPECT_EQ(second.run({QStringLiteral("--stderr"), QStringLiteral("-c"), second.writeConfig(port)}), 1);
    EXPECT_TRUE(second.standardError().contains(QStringLiteral("FATAL: Error starting server: ")))
        << second.standardError().toStdString();
    EXPECT_TRUE(second.standardError().contains(QStringLiteral("! Terminating...")));

    httpRequest(port, "GET", "/quit");
    EXPECT_EQ(first.waitForExit(), 0);
}

TEST(Startup, TellsTheServiceManagerWhenItListensAndWhenItStops)
{
    const ServiceManagerSocket manager;
    ProxyProcess proxy;
    proxy.setEnvironment(QStringLiteral("NOTIFY_SOCKET"), manager.path());
    const unsigned short port = freeLocalPort();
    ASSERT_TRUE(proxy.start({QStringLiteral("--stderr"), QStringLiteral("-c"), proxy.writeConfig(port)}));
    EXPECT_EQ(manager.next(), QStringLiteral("READY=1"));

    // A start that fails is never reported as ready.
    ProxyProcess second;
    second.setEnvironment(QStringLiteral("NOTIFY_SOCKET"), manager.path());
    EXPECT_EQ(second.run({QStringLiteral("--stderr"), QStringLiteral("-c"), second.writeConfig(port)}), 1);
    EXPECT_EQ(manager.next(500), QString());

    httpRequest(port, "GET", "/quit");
    EXPECT_EQ(proxy.waitForExit(), 0);
    EXPECT_EQ(manager.next(), QStringLiteral("STOPPING=1"));
}

TEST(Startup, RestartsOnTheSamePortRightAway)
{
    const unsigned short port = freeLocalPort();
    for (int run = 0; run < 2; ++run) {
        ProxyProcess proxy;
        ASSERT_TRUE(proxy.start({QStringLiteral("--stderr"), QStringLiteral("-c"), proxy.writeConfig(port)}))
            << "run " << run << ": " << proxy.standardError().toStdString();
        // The proxy closes these connections first, which leaves them in TIME_WAIT on its side.
        EXPECT_EQ(httpRequest(port, "GET", "/local/rest/v1/version").body, "1.3.1");
        httpRequest(port, "GET", "/quit");
        EXPECT_EQ(proxy.waitForExit(), 0);
    }
}

TEST(Startup, LogsToADailyFileBesideTheConfiguration)
{
    ProxyProcess proxy;
    const unsigned short port = freeLocalPort();
    const QString config = proxy.writeConfig(port);
    proxy.process().setArguments({QStringLiteral("-c"), config});
    proxy.process().start();
    ASSERT_TRUE(proxy.process().waitForStarted());
    for (int i = 0; i < 100; ++i) {
        try {
            // The token file is there once the proxy listens.
            if (httpRequest(port, "GET", "/quit", {}, {{"Authorization", "Bearer " + proxy.accessToken()}}).status == 200)
                break;
        } catch (const Poco::Exception&) {
            QThread::msleep(50);
        }
    }
    EXPECT_EQ(proxy.waitForExit(), 0);
    // Only what the configuration loader says before the log file is chosen goes to stderr.
    EXPECT_FALSE(proxy.standardError().contains(QStringLiteral("Server started!")));
    const QStringList logs = QDir(proxy.home().filePath(QStringLiteral("logs"))).entryList(QDir::Files);
    ASSERT_EQ(logs.size(), 1);
    EXPECT_TRUE(logs[0].startsWith(QStringLiteral("proxy-")));
    QFile log(proxy.home().filePath(QStringLiteral("logs/") + logs[0]));
    log.open(QIODevice::ReadOnly);
    EXPECT_TRUE(log.readAll().contains("INFO : Server started!"));
    EXPECT_TRUE(QFileInfo(proxy.home().filePath(QStringLiteral("storage"))).isDir());
}

TEST(Startup, UncreatableLogsDirectoryEndsStartUpBeforeTheBanner)
{
    ProxyProcess proxy;
    const QString config = proxy.writeConfig(freeLocalPort());
    QFile(proxy.home().filePath(QStringLiteral("logs"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(proxy.run({QStringLiteral("-c"), config}), 255);
    EXPECT_TRUE(proxy.standardOutput().isEmpty());
    EXPECT_TRUE(proxy.standardError().contains(QStringLiteral("Could not create logs directory in")));
}

TEST(Startup, PreparesTheDocumentStores)
{
    ProxyProcess proxy;
    const unsigned short port = freeLocalPort();
    const QString storage = proxy.home().filePath(QStringLiteral("documents"));
    const QString config = proxy.writeConfig(port, QStringLiteral(R"(, "storageDir": "%1")").arg(storage));
    ASSERT_TRUE(proxy.start({QStringLiteral("--stderr"), QStringLiteral("-c"), config}))
        << proxy.standardError().toStdString();
    httpRequest(port, "GET", "/quit");
    EXPECT_EQ(proxy.waitForExit(), 0);
    for (const char* name : {"drafts", "inbox", "outbox"})
        EXPECT_TRUE(QFileInfo(storage + QLatin1Char('/') + QLatin1String(name)).isDir()) << name;
}

TEST(Startup, AStoreThatCannotBeMadeEndsStartUpBeforeTheBanner)
{
    ProxyProcess proxy;
    const QString storage = proxy.home().filePath(QStringLiteral("documents"));
    QDir().mkdir(storage);
    QFile(storage + QStringLiteral("/outbox")).open(QIODevice::WriteOnly);
    const QString config = proxy.writeConfig(freeLocalPort(), QStringLiteral(R"(, "storageDir": "%1")").arg(storage));
    EXPECT_EQ(proxy.run({QStringLiteral("--stderr"), QStringLiteral("-c"), config}), 255);
    EXPECT_TRUE(proxy.standardOutput().isEmpty()) << proxy.standardOutput().toStdString();
    EXPECT_TRUE(proxy.standardError().contains(
        QStringLiteral("FATAL: Could not create storage in \"%1/outbox\". Exiting...").arg(storage)))
        << proxy.standardError().toStdString();
}
