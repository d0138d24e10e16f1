#pragma once

#include "tessel/singleton.h"

#include <QJsonObject>
#include <QString>
#include <QUrl>

#include <chrono>

namespace tessel {

// The application's configuration: config.json, its defaults and what is derived from it.
class AppConfig
{
public:
    virtual ~AppConfig() = default;

    virtual void load(const QString& fileName) = 0;
    virtual void save() = 0;
    virtual void updateConfig(const QJsonObject& json) = 0;
    virtual QJsonObject toJson() const = 0;
    virtual bool isSaved() const = 0;
    virtual QString fileName() const = 0;
    virtual QString listenInterface() const = 0;
    virtual quint16 listenPort() const = 0;
    virtual QString appHost() const = 0;
    virtual QString appPath() const = 0;
    virtual quint16 appPort() const = 0;
    virtual bool isHttps() const = 0;
    virtual QUrl appUrl() const = 0;
    virtual QString localPrefix() const = 0;
    virtual QUrl listenUrl() const = 0;
    virtual QString keyName() const = 0;
    virtual QString storageDir() const = 0;
    virtual QUrl restApiPath() const = 0;
    virtual QString webclientPrefix() const = 0;
    virtual QString logFileName() const = 0;
    virtual std::chrono::seconds networkTimeout() const = 0;
    // The secret every request must carry, kept in "access-token" beside the configuration file
    // and made there on first use; throws when it can be neither read nor made.
    virtual QString accessToken() const = 0;

    // ~/.config/velmar-portal-proxy/config.json, creating the directory when needed.
    static QString defaultFileName();
    static AppConfig* instance() { return holder().instance(); }
    // The holder behind instance(): the composition root installs its factory, tests their doubles.
    static Singleton<AppConfig>& holder()
    {
        static Singleton<AppConfig> object;
        return object;
    }
};

} // namespace tessel
