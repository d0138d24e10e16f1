// The engine configuration and init: every invalid configuration fails with its own message.

#include "crypto_test_support.h"

using namespace crypto_test;
using namespace nxcrypto;

namespace {

class EngineConfig : public ProviderRootTest
{
protected:
    void SetUp() override
    {
        ProviderRootTest::SetUp();
        importContainer(QStringLiteral("user"), QStringLiteral("user"));
        addStandardStores();
    }

    QString initError(const QString& text)
    {
        CryptoProCSPEngine engine;
        return errorOf([&] { engine.init(text); });
    }
};

} // namespace

TEST_F(EngineConfig, InvalidConfigurationsFailWithTheirMessages)
{
    const QString trust = QStringLiteral("\"trustStore\": \"velmar_portal_proxy_trust\"");
    struct Case
    {
        QString config;
        QString message;
    };
    const Case cases[] = {
        {QStringLiteral("{"), QStringLiteral("CryptoProCSPEngine::init(): Error parsing config: ")},
        {QStringLiteral("[]"), QStringLiteral("CryptoProCSPEngine::init(): Unknown storage type \"\"")},
        {QStringLiteral("{\"storageType\": \"SSD\"}"),
         QStringLiteral("CryptoProCSPEngine::init(): Unknown storage type \"SSD\"")},
        {QStringLiteral("{\"storageType\": 1}"),
         QStringLiteral("CryptoProCSPEngine::init(): Unknown storage type \"\"")},
        {QStringLiteral("{\"storageType\": \"hd\"}"), QStringLiteral("CryptoProCSPEngine::init(): Key name is empty")},
        {QStringLiteral("{\"storageType\": \"hd\", \"keyName\": \"user\", \"caStore\": \"\", %1}").arg(trust),
         QStringLiteral("CryptoProCSPEngine::init(): CA store name is empty")},
        {QStringLiteral("{\"storageType\": \"hd\", \"keyName\": \"user\"}"),
         QStringLiteral("CryptoProCSPEngine::init(): Trust store name is empty")},
        {QStringLiteral("{\"storageType\": \"hd\", \"keyName\": \"user\", \"usingMachineKeyset\": \"yes\", %1}")
             .arg(trust),
         QStringLiteral("CryptoProCSPEngine::init(): \"usingMachineKeyset\" is not a valid boolean value")},
        {QStringLiteral("{\"storageType\": \"hd\", \"keyName\": \"user\", \"silent\": 1, %1}").arg(trust),
         QStringLiteral("CryptoProCSPEngine::init(): \"silent\" is not a valid boolean value")},
        {QStringLiteral("{\"storageType\": \"hd\", \"keyName\": \"user\", \"ignoringMissingCrl\": [], %1}").arg(trust),
         QStringLiteral("CryptoProCSPEngine::init(): \"ignoringMissingCrl\" is not a valid boolean value")},
    };
    for (const Case& c : cases) {
        const QString error = initError(c.config);
        EXPECT_TRUE(error.startsWith(c.message)) << c.config.toStdString() << " -> " << error.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST_F(EngineConfig, AcceptedVariantsInitialise)
{
    const QJsonObject cases[] = {
        {{QStringLiteral("usingMachineKeyset"), QJsonValue::Null}},
        {{QStringLiteral("urlRetrieveTimeout"), QStringLiteral("soon")}},
        {{QStringLiteral("urlRetrieveTimeout"), 2500}, {QStringLiteral("silent"), true}},
        {{QStringLiteral("caStore"), 42}},
        {{QStringLiteral("storageType"), QStringLiteral("rutoken")}},
    };
    for (const QJsonObject& extra : cases) {
        CryptoProCSPEngine engine;
        EXPECT_EQ(errorOf([&] { engine.init(config(QStringLiteral("user"), extra)); }), QString());
        EXPECT_TRUE(engine.isInitialized());
        EXPECT_EQ(engine.getCurrentKeyName(), QStringLiteral("user"));
    }
}

TEST_F(EngineConfig, GuardedFailuresReadAsTwoLinesWithTheReason)
{
    CryptoProCSPEngine engine;
    const QString error = errorOf([&] { engine.init(config(QStringLiteral("nobody"))); });
    const QStringList lines = error.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 2) << error.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("CryptoProCSPEngine::init(nobody): Error."));
    EXPECT_TRUE(lines[1].startsWith(
        QStringLiteral("Reason: cryptAcquireContext(nobody): Error Code: 2148073494 (hex 0x80090016).")))
        << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("NTE_BAD_KEYSET")));
    // The storage type was stored before the failure; the provider was not.
    EXPECT_TRUE(engine.isInitialized());
    EXPECT_EQ(errorOf([&] { engine.getCurrentKeyName(); }),
              QStringLiteral("CryptoProCSPEngine::getCurrentKeyName(): Provider not initialized."));
}

TEST_F(EngineConfig, NonGostKeyFailsWithTheProviderTypeMessage)
{
    importContainer(QStringLiteral("rsa"), QStringLiteral("rsa"));
    CryptoProCSPEngine engine;
    EXPECT_EQ(errorOf([&] { engine.init(config(QStringLiteral("rsa"))); }),
              QStringLiteral("CryptoProCSPEngine::init(rsa): Error.\n"
                             "Reason: ProviderType provider_type(PublicKeyAlgorithm): Unknown algorithm 0"));
}

TEST_F(EngineConfig, OperationsBeforeInitFailWithTheirProviderMessages)
{
    CryptoProCSPEngine engine;
    EXPECT_FALSE(engine.isInitialized());
    const std::pair<std::function<void()>, QString> cases[] = {
        {[&] { engine.setKeyPass(QStringLiteral("x")); },
         QStringLiteral("CryptoProCSPEngine::setKeyPass(): Provider not initialized.")},
        {[&] { engine.getKeyCertificate(); },
         QStringLiteral("CryptoProCSPEngine::getKeyCertificate(): Provider not initialized.")},
        {[&] { engine.getCurrentStorageType(); },
         QStringLiteral("CryptoProCSPEngine::getCurrentStorageType(): Provider not initialized.")},
        {[&] { engine.getCertificates(true); },
         QStringLiteral("CryptoProCSPEngine::getCertificates(): Provider not initialized.")},
        {[&] { engine.getCertificate(false, CertificateDescriptionPtr::create()); },
         QStringLiteral("CryptoProCSPEngine::getCertificates(): Provider not initialized.")},
        {[&] { engine.deleteCertificate(false, CertificateDescriptionPtr::create()); },
         QStringLiteral("CryptoProCSPEngine::deleteCertificate(): Provider not initialized.")},
        {[&] { engine.addCertificateFromBlob(true, QByteArray("x")); },
         QStringLiteral("CryptoProCSPEngine::addCertificateFromBlob(): Provider not initialized.")},
        {[&] { engine.hash(nullptr); }, QStringLiteral("CryptoProCSPEngine::hash(): Provider not initialized.")},
        {[&] { engine.sign(static_cast<QIODevice*>(nullptr), static_cast<QIODevice*>(nullptr)); },
         QStringLiteral("CryptoProCSPEngine::sign(): Provider not initialized.")},
        {[&] { engine.verifySign(QList<QIODevice*>(), QList<QIODevice*>(), CertificateCheck(), QDateTime()); },
         QStringLiteral("CryptoProCSPEngine::verifySign(): Provider not initialized.")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf(c.first), c.second);
}
