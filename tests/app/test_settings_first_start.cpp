#include "http_test_client.h"
#include "local_http_server.h"

#include "app_config.h"
#include "rest/service_endpoints.h"

#include <gtest/gtest.h>

#include <Poco/Net/HTTPServerRequest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

// In process: a first start has no configuration file, and so no port of its own to test with.
TEST(Settings, FirstStartIsInitialAndAnEmptyPostStillSavesAndRecreatesTheEngine)
{
    QTemporaryDir providerRoot;
    qputenv("NXCSP_ROOT", QFile::encodeName(providerRoot.path()));
    QTemporaryDir home;
    const QString configFile = home.filePath(QStringLiteral("config.json"));
    tessel::AppConfig::instance()->load(configFile);

    LocalHttpServer server([](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
        if (request.getMethod() == "POST")
            tessel::rest::saveSettings(request, response);
        else
            tessel::rest::getSettings(request, response);
    });
    auto initial = [&] {
        const HttpAnswer answer = httpRequest(server.port(), "GET", "/");
        return QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).object().value("initial").toBool();
    };
    EXPECT_TRUE(initial());

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(httpRequest(server.port(), "POST", "/", "").status, 204);
    EXPECT_GE(timer.elapsed(), 2000);
    EXPECT_TRUE(QFile::exists(configFile));
    EXPECT_FALSE(initial());
}
