#include "crypto_setup/crypto_engine_setup.h"

#include "interfaces/app_config.h"

#include "crypto/engine/crypto_engine.h"
#include "tessel/log_record.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>

#include <thread>

namespace tessel {
namespace {

// Held through creation and replacement, including the pause.
QMutex& setupMutex()
{
    static QMutex mutex;
    return mutex;
}

// The current engine; its own short lock lets readers skip the setup mutex.
class CurrentEngine
{
public:
    QSharedPointer<nxcrypto::CryptoEngine> get()
    {
        QMutexLocker locker(&m_lock);
        return m_engine;
    }

    void set(const QSharedPointer<nxcrypto::CryptoEngine>& engine)
    {
        QSharedPointer<nxcrypto::CryptoEngine> previous;
        QMutexLocker locker(&m_lock);
        previous.swap(m_engine);
        m_engine = engine;
    }

private:
    QMutex m_lock;
    QSharedPointer<nxcrypto::CryptoEngine> m_engine;
};

// Never destroyed: the engine holds OpenSSL objects, and OpenSSL cleans itself up at exit
// before static destructors would run.
CurrentEngine& current()
{
    static auto* engine = new CurrentEngine;
    return *engine;
}

} // namespace

EngineSetup createEngine()
{
    QSharedPointer<nxcrypto::CryptoEngine> created = nxcrypto::createCryptoEngine(QStringLiteral("CryptoProCSP"));
    QString keyName = AppConfig::instance()->keyName();
    if (keyName.isEmpty()) {
        const QStringList keys = created->getKeys(nxcrypto::KeyStorageType::HD);
        if (!keys.isEmpty())
            keyName = keys.first();
    }
    if (keyName.isEmpty())
        return EngineSetup(created, boost::none);

    const QJsonObject config{
        {QStringLiteral("storageType"), QStringLiteral("HD")},
        {QStringLiteral("keyName"), keyName},
        {QStringLiteral("caStore"), QStringLiteral("ROOT")},
        {QStringLiteral("trustStore"), QStringLiteral("velmar_portal_proxy_trust")},
    };
    try {
        created->init(QString::fromUtf8(QJsonDocument(config).toJson(QJsonDocument::Indented)));
        return EngineSetup(created, boost::none);
    } catch (const std::exception& e) {
        const QString message = QString::fromUtf8(e.what());
        LOG_ERROR << QStringLiteral("Error initializing crypto library: %1").arg(message);
        return EngineSetup(nxcrypto::createCryptoEngine(QStringLiteral("CryptoProCSP")), message);
    }
}

QSharedPointer<nxcrypto::CryptoEngine> engine()
{
    if (auto existing = current().get())
        return existing;
    QMutexLocker locker(&setupMutex());
    if (auto existing = current().get())
        return existing;
    current().set(createEngine().get<0>());
    return current().get();
}

EngineSetup reinitEngine()
{
    QMutexLocker locker(&setupMutex());
    current().set(nullptr);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EngineSetup setup = createEngine();
    current().set(setup.get<0>());
    return setup;
}

} // namespace tessel
