#pragma once

#include <QJsonObject>
#include <QString>

#include <memory>

namespace tessel {

// The keys that travel to and from config.json.
class Config
{
public:
    Config();
    Config(const Config& other);
    Config& operator=(const Config& other);
    virtual ~Config();

    // Missing or wrongly typed keys keep the current value, except crypto.keyName
    // and storageDir, which become empty; a networkTimeoutSeconds outside 5 to 3600 is no value.
    void fromJson(const QJsonObject& json);
    QJsonObject toJson() const;

    QString listenInterface() const;
    quint16 listenPort() const;
    QString appUrl() const;
    QString keyName() const;
    QString storageDir() const;
    // The longest wait for the portal, or a client, with no byte moving.
    int networkTimeoutSeconds() const;

    // Trimmed, with one trailing "/" dropped.
    void setAppUrl(const QString& url);

private:
    struct Data;
    std::unique_ptr<Data> d;
};

} // namespace tessel
