#include "client_address.h"

#include "interfaces/app_config.h"

#include <QJsonObject>

void pointClientAt(unsigned short proxyPort, const QString& listenInterface)
{
    tessel::AppConfig::instance()->updateConfig(
        QJsonObject{{"listenInterface", listenInterface}, {"listenPort", static_cast<int>(proxyPort)}});
}
