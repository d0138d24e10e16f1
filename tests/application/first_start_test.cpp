#include "support/http_test_client.h"
#include "support/proxy_process.h"
#include "support/workstation.h"

#include <gtest/gtest.h>

#include <Poco/Net/StreamSocket.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A first start has no configuration file, so the proxy listens on its default port.
constexpr unsigned short defaultPort = 8000;

bool portIsTaken()
{
    try {
        Poco::Net::StreamSocket socket(Poco::Net::SocketAddress("127.0.0.1", defaultPort));
        return true;
    } catch (const Poco::Exception&) {
        return false;
    }
}

bool initial()
{
    const HttpAnswer answer = httpRequest(defaultPort, "GET", "/local/rest/v1/settings");
    return QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).object().value("initial").toBool();
}

} // namespace

TEST(FirstStart, SettingsAreInitialUntilAnEmptyPostSavesThemAndRecreatesTheEngine)
{
    if (portIsTaken())
        GTEST_SKIP() << "port " << defaultPort << " is taken by another program";
    Workstation workstation;
    ProxyProcess proxy;
    proxy.setEnvironment(QStringLiteral("NXCSP_ROOT"), workstation.providerRoot());
    const QString configFile = proxy.home().filePath(QStringLiteral("config.json"));
    ASSERT_TRUE(proxy.start({QStringLiteral("--stderr"), QStringLiteral("-c"), configFile}))
        << proxy.standardError().toStdString();

    EXPECT_TRUE(initial());
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(httpRequest(defaultPort, "POST", "/local/rest/v1/settings", "").status, 204);
    EXPECT_GE(timer.elapsed(), 2000);
    EXPECT_TRUE(QFile::exists(configFile));
    EXPECT_FALSE(initial());

    httpRequest(defaultPort, "GET", "/quit");
    EXPECT_EQ(proxy.waitForExit(), 0);
}
