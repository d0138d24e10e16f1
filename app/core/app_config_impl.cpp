#include "core/app_config_impl.h"

#include "security/access_token.h"
#include "tessel/exception.h"
#include "tessel/log_record.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>

namespace tessel {
namespace {

const char* const defaultConfigText =
    R"({"listenInterface": "localhost","listenPort": 8000,"appUrl": "https://localhost:8443"})";
const QString portalSuffix = QStringLiteral("/velmar-portal");
const QString settingsDir = QStringLiteral(".config/velmar-portal-proxy");

// For a file opened unbuffered (commit() does not see a failed flush of buffered bytes). A write
// that stops short gives a short count without an error text; writing the rest meets the error.
bool writeAll(QFileDevice& file, const QByteArray& data)
{
    for (qint64 written = 0; written < data.size();) {
        const qint64 count = file.write(data.constData() + written, data.size() - written);
        if (count <= 0)
            return false;
        written += count;
    }
    return true;
}

} // namespace

QString AppConfig::defaultFileName()
{
    QDir dir = QDir::home();
    if (!dir.mkpath(settingsDir) || !dir.cd(settingsDir))
        LOG_FATAL << QCoreApplication::translate("AppConfig", "Can't create settings dir in %1")
                         .arg(QDir::home().absolutePath() + QLatin1Char('/') + settingsDir);
    return dir.filePath(QStringLiteral("config.json"));
}

AppConfigImpl::AppConfigImpl() = default;

void AppConfigImpl::load(const QString& fileName)
{
    {
        // The token belongs to the file's directory.
        QWriteLocker locker(&m_lock);
        m_accessToken.clear();
    }
    if (!fileName.isEmpty() && QFile::exists(fileName)) {
        QFile file(fileName);
        if (file.open(QIODevice::ReadOnly) && loadFromData(file.readAll())) {
            QWriteLocker locker(&m_lock);
            m_isSaved = true;
            m_fileName = fileName;
            return;
        }
    }
    if (!loadFromData(QByteArray(defaultConfigText)))
        throw utils::exception(QStringLiteral("Failed to parse default config"));
    QWriteLocker locker(&m_lock);
    m_fileName = fileName;
}

bool AppConfigImpl::loadFromData(const QByteArray& data)
{
    if (data.isEmpty())
        return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError) {
        LOG_ERROR << QCoreApplication::translate("AppConfig", "Error parsing configuration file: %1")
                         .arg(error.errorString());
        return false;
    }
    updateConfig(document.object());
    QWriteLocker locker(&m_lock);
    m_isSaved = false;
    return true;
}

void AppConfigImpl::updateConfig(const QJsonObject& json)
{
    QWriteLocker locker(&m_lock);
    m_config.fromJson(json);
    QString url = m_config.appUrl();
    if (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    if (url.endsWith(portalSuffix)) {
        LOG_WARN << "Found a */velmar-portal URL, stripping suffix";
        url.chop(portalSuffix.size());
    }
    const QUrl parsed(url, QUrl::TolerantMode);
    m_config.setAppUrl(parsed.toString());
    m_appHost = parsed.host(QUrl::FullyDecoded);
    m_isHttps = parsed.scheme() == QLatin1String("https");
    m_appPort = static_cast<quint16>(parsed.port(m_isHttps ? 443 : 80));
    m_appPath = parsed.path(QUrl::FullyDecoded);
}

QJsonObject AppConfigImpl::toJson() const
{
    QReadLocker locker(&m_lock);
    return m_config.toJson();
}

void AppConfigImpl::save()
{
    const QString name = fileName();
    const QByteArray text = QJsonDocument(toJson()).toJson(QJsonDocument::Indented);
    // Written beside the file and renamed over it: a failed write (a full disk) leaves the old file whole.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !writeAll(file, text) || !file.commit()) {
        LOG_ERROR << QCoreApplication::translate("AppConfig", "Error writing configuration to \"%1\": %2")
                         .arg(name, file.errorString());
        throw utils::exception(file.errorString());
    }
    QWriteLocker locker(&m_lock);
    m_isSaved = true;
}

bool AppConfigImpl::isSaved() const
{
    QReadLocker locker(&m_lock);
    return m_isSaved;
}

QString AppConfigImpl::fileName() const
{
    QReadLocker locker(&m_lock);
    return m_fileName;
}

QString AppConfigImpl::listenInterface() const
{
    QReadLocker locker(&m_lock);
    return m_config.listenInterface();
}

quint16 AppConfigImpl::listenPort() const
{
    QReadLocker locker(&m_lock);
    return m_config.listenPort();
}

QString AppConfigImpl::appHost() const
{
    QReadLocker locker(&m_lock);
    return m_appHost;
}

QString AppConfigImpl::appPath() const
{
    QReadLocker locker(&m_lock);
    return m_appPath;
}

quint16 AppConfigImpl::appPort() const
{
    QReadLocker locker(&m_lock);
    return m_appPort;
}

bool AppConfigImpl::isHttps() const
{
    QReadLocker locker(&m_lock);
    return m_isHttps;
}

QUrl AppConfigImpl::appUrl() const
{
    QReadLocker locker(&m_lock);
    return QUrl(m_config.appUrl());
}

QString AppConfigImpl::localPrefix() const { return QStringLiteral("/local"); }

QUrl AppConfigImpl::listenUrl() const
{
    QReadLocker locker(&m_lock);
    return QUrl(QStringLiteral("http://%1:%2").arg(m_config.listenInterface()).arg(m_config.listenPort()));
}

QString AppConfigImpl::keyName() const
{
    QReadLocker locker(&m_lock);
    return m_config.keyName();
}

QString AppConfigImpl::storageDir() const
{
    const QString configured = [this] {
        QReadLocker locker(&m_lock);
        return m_config.storageDir();
    }();
    if (!configured.isEmpty())
        return configured;
    return subDirectory(QStringLiteral("storage"), "Could not create storage in \"%1\". Exiting...");
}

QUrl AppConfigImpl::restApiPath() const { return QUrl(QStringLiteral("/rest/client/v1")); }

QString AppConfigImpl::webclientPrefix() const { return QStringLiteral("/webclient"); }

QString AppConfigImpl::logFileName() const
{
    const QDir logs(subDirectory(QStringLiteral("logs"), "Could not create logs directory in \"%1\". Exiting..."));
    return logs.filePath(
        QStringLiteral("proxy-%1.log").arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
}

std::chrono::seconds AppConfigImpl::networkTimeout() const
{
    QReadLocker locker(&m_lock);
    return std::chrono::seconds(m_config.networkTimeoutSeconds());
}

QString AppConfigImpl::accessToken() const
{
    {
        QReadLocker locker(&m_lock);
        if (!m_accessToken.isEmpty())
            return m_accessToken;
    }
    const QString token = security::AccessToken::loadOrCreate(QDir(configDirectory()).filePath(QStringLiteral("access-token")));
    QWriteLocker locker(&m_lock);
    m_accessToken = token;
    return token;
}

QString AppConfigImpl::configDirectory() const
{
    const QString name = fileName();
    return QFileInfo(name.isEmpty() ? defaultFileName() : name).absolutePath();
}

QString AppConfigImpl::subDirectory(const QString& name, const char* failureMessage) const
{
    const QString base = configDirectory();
    QDir dir(base);
    if (!dir.mkpath(name) || !dir.cd(name)) {
        LOG_FATAL << QCoreApplication::translate("AppConfig", failureMessage).arg(base);
        throw utils::exception(QStringLiteral("Can't create directory \"%1\" in \"%2\"").arg(name, base));
    }
    return dir.path();
}

} // namespace tessel
