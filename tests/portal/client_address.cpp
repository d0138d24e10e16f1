#include "client_address.h"

#include "interfaces/app_config.h"
#include "support/proxy_under_test.h"

#include <QJsonObject>

void pointClientAt(const ProxyUnderTest& proxy)
{
    // The proxy's own configuration, so that the client carries the proxy's access token.
    tessel::AppConfig::instance()->load(QString::fromStdString(proxy.configFile()));
    pointClientAt(proxy.port());
}

void pointClientAt(unsigned short proxyPort, const QString& listenInterface)
{
    tessel::AppConfig::instance()->updateConfig(
        QJsonObject{{"listenInterface", listenInterface}, {"listenPort", static_cast<int>(proxyPort)}});
}
