// Certificate stores through the engine: blobs, listing, finding and deleting.

#include "crypto_test_support.h"

#include <QDir>

using namespace crypto_test;
using namespace nxcrypto;

namespace {

class EngineStores : public ProviderRootTest
{
protected:
    void SetUp() override
    {
        ProviderRootTest::SetUp();
        importContainer(QStringLiteral("user"), QStringLiteral("user"));
        addToStore(QStringLiteral("ROOT"), QStringLiteral("root.cer"));
        engine = engineFor(QStringLiteral("user"), {{QStringLiteral("caStore"), QStringLiteral("CA")}});
    }

    QStringList subjects(bool ca)
    {
        QStringList names;
        for (const CertificateDescriptionPtr& d : engine->getCertificates(ca))
            names.append(d->subjectName().section(QStringLiteral("CN="), 1).section(QLatin1Char(','), 0, 0));
        names.sort();
        return names;
    }

    QByteArray crlOnlyBundle()
    {
        const QString path = rootPath() + QStringLiteral("/crl-only.p7b");
        EXPECT_EQ(runOpenSsl({QStringLiteral("crl2pkcs7"), QStringLiteral("-in"),
                              TestPki::path(QStringLiteral("intermediate.crl.pem")), QStringLiteral("-outform"),
                              QStringLiteral("DER"), QStringLiteral("-out"), path}),
                  0);
        return readAll(path);
    }

    QSharedPointer<CryptoProCSPEngine> engine;
};

const QString root = QStringLiteral("Velmar Test Root CA 2012");
const QString intermediate = QStringLiteral("Velmar Test Issuing CA 2012");
const QString user = QStringLiteral("Иванов Иван Иванович");

} // namespace

TEST_F(EngineStores, ChainBlobPutsIssuersIntoTheCaStoreAndTheLeafIntoTheTrustStore)
{
    for (bool ca : {true, false}) {
        const CertificateDescriptionPtr added =
            engine->addCertificateFromBlob(ca, TestPki::bytes(QStringLiteral("chain.p7b")));
        ASSERT_TRUE(added);
        EXPECT_TRUE(added->subjectName().contains(user));
        ASSERT_TRUE(added->issuerCertificate());
        EXPECT_EQ(subjects(true), (QStringList{intermediate, root}));
        EXPECT_EQ(subjects(false), (QStringList{user}));
    }
}

TEST_F(EngineStores, SingleCertificateBlobGoesIntoTheChosenStore)
{
    const QByteArray blob = readAll([this] {
        const QString path = rootPath() + QStringLiteral("/agent.p7b");
        runOpenSsl({QStringLiteral("crl2pkcs7"), QStringLiteral("-nocrl"), QStringLiteral("-certfile"),
                    TestPki::path(QStringLiteral("agent.pem")), QStringLiteral("-outform"), QStringLiteral("DER"),
                    QStringLiteral("-out"), path});
        return path;
    }());
    const CertificateDescriptionPtr added = engine->addCertificateFromBlob(false, blob);
    EXPECT_FALSE(added->issuerCertificate());
    EXPECT_EQ(subjects(false), (QStringList{QStringLiteral("Трансфер-Агент Тест")}));
    EXPECT_TRUE(subjects(true).isEmpty());
}

TEST_F(EngineStores, BlobsThatHoldNoCertificateContainerFail)
{
    const QString bare =
        errorOf([&] { engine->addCertificateFromBlob(true, TestPki::bytes(QStringLiteral("user.cer"))); });
    EXPECT_TRUE(bare.startsWith(QStringLiteral("msgUpdate(): Error Code: 2148086027 (hex 0x8009310b).")))
        << bare.toStdString();
    const QString described =
        errorOf([&] { engine->getCertificateDescriptionFromBlob(TestPki::bytes(QStringLiteral("user.cer"))); });
    EXPECT_TRUE(described.startsWith(QStringLiteral("CryptoProCSPEngine::getCertificateDescriptionFromBlob(): Error.\n"
                                                    "Reason: msgUpdate(): Error Code:")))
        << described.toStdString();
    EXPECT_EQ(errorOf([&] { engine->addCertificateFromBlob(true, crlOnlyBundle()); }),
              QStringLiteral("CryptoProCSPEngine::addCertificateFromBlob(): The blob holds no certificate"));
    EXPECT_TRUE(subjects(true).isEmpty());
}

TEST_F(EngineStores, BlobDescriptionIsLoneBeforeInitAndTheLongestChainOtherwise)
{
    const QByteArray chain = TestPki::bytes(QStringLiteral("chain.p7b"));
    const CertificateDescriptionPtr described = engine->getCertificateDescriptionFromBlob(chain);
    ASSERT_TRUE(described && described->issuerCertificate() && described->issuerCertificate()->issuerCertificate());
    EXPECT_TRUE(described->subjectName().contains(user));

    CryptoProCSPEngine fresh;
    const QString path = rootPath() + QStringLiteral("/root.p7b");
    runOpenSsl({QStringLiteral("crl2pkcs7"), QStringLiteral("-nocrl"), QStringLiteral("-certfile"),
                TestPki::path(QStringLiteral("root.pem")), QStringLiteral("-outform"), QStringLiteral("DER"),
                QStringLiteral("-out"), path});
    const CertificateDescriptionPtr lone = fresh.getCertificateDescriptionFromBlob(readAll(path));
    EXPECT_TRUE(lone->subjectName().contains(root));
    EXPECT_FALSE(lone->issuerCertificate());
    // Describing does not store anything.
    EXPECT_TRUE(subjects(true).isEmpty());
    EXPECT_TRUE(subjects(false).isEmpty());
}

TEST_F(EngineStores, FindingReturnsTheChainAndDeletingRemovesOnlyWhatIsThere)
{
    engine->addCertificateFromBlob(true, TestPki::bytes(QStringLiteral("chain.p7b")));
    const CertificateDescriptionPtr leaf = engine->getCertificates(false).value(0);
    ASSERT_TRUE(leaf);
    const CertificateDescriptionPtr found = engine->getCertificate(false, leaf);
    ASSERT_TRUE(found);
    EXPECT_TRUE(*found == *leaf);
    ASSERT_TRUE(found->issuerCertificate());
    EXPECT_TRUE(found->issuerCertificate()->subjectName().contains(intermediate));
    EXPECT_FALSE(engine->getCertificate(true, leaf));

    EXPECT_FALSE(engine->deleteCertificate(true, leaf));
    EXPECT_TRUE(engine->deleteCertificate(false, leaf));
    EXPECT_FALSE(engine->getCertificate(false, leaf));
    EXPECT_FALSE(engine->deleteCertificate(false, leaf));
    EXPECT_EQ(subjects(true), (QStringList{intermediate, root}));

    const auto badSerial = CertificateDescriptionPtr::create();
    badSerial->setIssuerName(leaf->issuerName());
    badSerial->setSerialNumberHex(QStringLiteral("12G4"));
    EXPECT_EQ(errorOf([&] { engine->getCertificate(true, badSerial); }),
              QStringLiteral("hexToBytes: invalid hex string: 12G4"));
}

TEST_F(EngineStores, StoreNamesTheEngineUsesByDefault)
{
    const auto defaults = engineFor(QStringLiteral("user"));
    // Without "caStore" the CA store is ROOT.
    const QStringList ca = [&] {
        QStringList names;
        for (const CertificateDescriptionPtr& d : defaults->getCertificates(true))
            names.append(d->subjectName());
        return names;
    }();
    EXPECT_EQ(ca, (QStringList{QStringLiteral("C=RU, O=Velmar Test, CN=Velmar Test Root CA 2012")}));
    defaults->addCertificateFromBlob(false, TestPki::bytes(QStringLiteral("chain.p7b")));
    EXPECT_TRUE(QDir(rootPath() + QStringLiteral("/stores/velmar_portal_proxy_trust")).exists());
}
