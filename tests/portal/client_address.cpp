#include "client_address.h"

#include "crypto_setup/crypto_engine_setup.h"
#include "interfaces/app_config.h"
#include "support/workstation.h"

#include <QJsonObject>

void pointClientAt(const std::string& portalUrl, const Workstation* workstation)
{
    QJsonObject settings{{"appUrl", QString::fromStdString(portalUrl)}};
    if (workstation) {
        qputenv("NXCSP_ROOT", workstation->providerRoot().toLocal8Bit());
        settings.insert("crypto", QJsonObject{{"keyName", QString::fromLatin1(Workstation::keyName)}});
    }
    tessel::AppConfig::instance()->updateConfig(settings);
    if (workstation)
        tessel::reinitEngine();
}
