#include "core/config.h"

namespace tessel {
namespace {

constexpr int defaultNetworkTimeoutSeconds = 60;

} // namespace

struct Config::Data
{
    QString listenInterface = QStringLiteral("127.0.0.1");
    quint16 listenPort = 8000;
    QString appUrl = QStringLiteral("https://localhost:8443/velmar-portal");
    QString keyName;
    QString storageDir;
    int networkTimeoutSeconds = defaultNetworkTimeoutSeconds;
};

Config::Config() : d(std::make_unique<Data>()) {}
Config::Config(const Config& other) : d(std::make_unique<Data>(*other.d)) {}
Config::~Config() = default;

Config& Config::operator=(const Config& other)
{
    *d = *other.d;
    return *this;
}

void Config::fromJson(const QJsonObject& json)
{
    d->listenInterface = json.value(QLatin1String("listenInterface")).toString(d->listenInterface);
    const QJsonValue port = json.value(QLatin1String("listenPort"));
    if (port.isDouble())
        d->listenPort = static_cast<quint16>(port.toInt());
    setAppUrl(json.value(QLatin1String("appUrl")).toString(d->appUrl));
    d->keyName = json.value(QLatin1String("crypto")).toObject().value(QLatin1String("keyName")).toString();
    d->storageDir = json.value(QLatin1String("storageDir")).toString();
    const QJsonValue timeout = json.value(QLatin1String("networkTimeoutSeconds"));
    if (timeout.isDouble() && timeout.toDouble() == timeout.toInt() && timeout.toInt() >= 5 && timeout.toInt() <= 3600)
        d->networkTimeoutSeconds = timeout.toInt();
}

QJsonObject Config::toJson() const
{
    QJsonObject json{
        {QStringLiteral("listenInterface"), d->listenInterface},
        {QStringLiteral("listenPort"), d->listenPort},
        {QStringLiteral("appUrl"), d->appUrl},
        {QStringLiteral("crypto"), QJsonObject{{QStringLiteral("keyName"), d->keyName}}},
    };
    if (!d->storageDir.isEmpty())
        json.insert(QStringLiteral("storageDir"), d->storageDir);
    if (d->networkTimeoutSeconds != defaultNetworkTimeoutSeconds)
        json.insert(QStringLiteral("networkTimeoutSeconds"), d->networkTimeoutSeconds);
    return json;
}

QString Config::listenInterface() const { return d->listenInterface; }
quint16 Config::listenPort() const { return d->listenPort; }
QString Config::appUrl() const { return d->appUrl; }
QString Config::keyName() const { return d->keyName; }
QString Config::storageDir() const { return d->storageDir; }
int Config::networkTimeoutSeconds() const { return d->networkTimeoutSeconds; }

void Config::setAppUrl(const QString& url)
{
    QString trimmed = url.trimmed();
    if (trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    d->appUrl = trimmed;
}

} // namespace tessel
