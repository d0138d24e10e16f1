#pragma once

#include "core/config.h"
#include "interfaces/app_config.h"

#include <QReadWriteLock>

namespace tessel {

class AppConfigImpl : public AppConfig
{
public:
    AppConfigImpl();

    void load(const QString& fileName) override;
    void save() override;
    void updateConfig(const QJsonObject& json) override;
    QJsonObject toJson() const override;
    bool isSaved() const override;
    QString fileName() const override;
    QString listenInterface() const override;
    quint16 listenPort() const override;
    QString appHost() const override;
    QString appPath() const override;
    quint16 appPort() const override;
    bool isHttps() const override;
    QUrl appUrl() const override;
    QString localPrefix() const override;
    QUrl listenUrl() const override;
    QString keyName() const override;
    QString storageDir() const override;
    QUrl restApiPath() const override;
    QString webclientPrefix() const override;
    QString logFileName() const override;
    std::chrono::seconds networkTimeout() const override;
    QString accessToken() const override;

private:
    bool loadFromData(const QByteArray& data);
    // The directory that holds the configuration file; sub-directories are made there.
    QString configDirectory() const;
    QString subDirectory(const QString& name, const char* failureMessage) const;

    // Settings are posted on server threads while others read them.
    mutable QReadWriteLock m_lock;
    Config m_config;
    QString m_appHost = QStringLiteral("localhost");
    QString m_appPath = QStringLiteral("velmar-portal");
    quint16 m_appPort = 8443;
    bool m_isHttps = true;
    bool m_isSaved = false;
    QString m_fileName;
    mutable QString m_accessToken;
};

} // namespace tessel
