// Signatures exchanged with OpenSSL's own CMS implementation, both ways.

#include "crypto_test_support.h"

#include "crypto/platform/openssl_init.h"

using namespace crypto_test;
using namespace nxcrypto;

namespace {

class OpenSslInterop : public ProviderRootTest
{
protected:
    void SetUp() override
    {
        ProviderRootTest::SetUp();
        addStandardStores();
        data = tempFile(QStringLiteral("data.bin"), QByteArray("Обмен с OpenSSL\n").repeated(5000));
    }

    int opensslVerify(const QString& signature, const QString& content, QString* output)
    {
        return runOpenSsl({QStringLiteral("cms"), QStringLiteral("-verify"), QStringLiteral("-binary"),
                           QStringLiteral("-inform"), QStringLiteral("DER"), QStringLiteral("-in"), signature,
                           QStringLiteral("-content"), content, QStringLiteral("-CAfile"),
                           TestPki::path(QStringLiteral("ca-bundle.pem")), QStringLiteral("-purpose"),
                           QStringLiteral("any"), QStringLiteral("-out"), QStringLiteral("/dev/null")},
                          output);
    }

    QString data;
};

} // namespace

TEST_F(OpenSslInterop, EngineSignaturesVerifyWithOpenSslCms)
{
    for (const char* name : {"user", "user512", "user2001"}) {
        const QString pkiName = QString::fromLatin1(name);
        importContainer(pkiName, pkiName);
        const auto engine = engineFor(pkiName);
        const QString signature = rootPath() + QStringLiteral("/%1.sign").arg(pkiName);
        engine->sign(QFileInfo(data), QFileInfo(signature));
        QString output;
        EXPECT_EQ(opensslVerify(signature, data, &output), 0) << name << ": " << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("Verification successful"))) << output.toStdString();

        QString printed;
        runOpenSsl({QStringLiteral("cms"), QStringLiteral("-cmsout"), QStringLiteral("-print"),
                    QStringLiteral("-inform"), QStringLiteral("DER"), QStringLiteral("-in"), signature,
                    QStringLiteral("-noout")},
                   &printed);
        for (const char* attribute : {"contentType", "signingTime", "messageDigest"})
            EXPECT_TRUE(printed.contains(QString::fromLatin1(attribute))) << name << " " << attribute;
        EXPECT_TRUE(printed.contains(QStringLiteral("eContent: <ABSENT>"))) << "the signature must be detached";
        EXPECT_EQ(printed.count(QStringLiteral("d.issuerAndSerialNumber:")), 1)
            << "one signer, named by issuer and serial";
    }
    const QString tampered = tempFile(QStringLiteral("tampered.bin"), readAll(data) + "!");
    QString output;
    EXPECT_NE(opensslVerify(rootPath() + QStringLiteral("/user.sign"), tampered, &output), 0);
}

TEST_F(OpenSslInterop, OpenSslCmsSignaturesVerifyInTheEngine)
{
    importContainer(QStringLiteral("user"), QStringLiteral("user"));
    const auto engine = engineFor(QStringLiteral("user"));
    for (const char* name : {"user", "agent", "user512"}) {
        const QString pkiName = QString::fromLatin1(name);
        const QString signature = rootPath() + QStringLiteral("/openssl-%1.sign").arg(pkiName);
        QString output;
        ASSERT_EQ(runOpenSsl({QStringLiteral("cms"), QStringLiteral("-sign"), QStringLiteral("-binary"),
                              QStringLiteral("-outform"), QStringLiteral("DER"), QStringLiteral("-signer"),
                              TestPki::path(pkiName + QStringLiteral(".pem")), QStringLiteral("-inkey"),
                              TestPki::path(pkiName + QStringLiteral(".key.pem")), QStringLiteral("-in"), data,
                              QStringLiteral("-out"), signature},
                             &output),
                  0)
            << output.toStdString();
        const SignInfoPtr info = engine->verifySign(
            QFileInfo(data), QFileInfo(signature),
            [](const CertificateDescriptionPtr&) { return CertificateState::Valid; }, QDateTime());
        const DataSignInfoPtr block = info->signs().front();
        EXPECT_EQ(block->signState(), SignState::Valid) << name;
        EXPECT_FALSE(block->exception()) << name;
        EXPECT_TRUE(block->signingTime().isValid());
        EXPECT_EQ(info->certificateState(), CertificateState::Valid) << name << " " << info->techInfo().toStdString();
    }
    // The digest OpenSSL signed is the one the engine computes.
    const QString signature = rootPath() + QStringLiteral("/openssl-user.sign");
    QFile file(data);
    file.open(QIODevice::ReadOnly);
    const QByteArray digest = engine->hash(&file);
    const SignInfoPtr info = engine->verifySign(
        QFileInfo(data), QFileInfo(signature), [](const CertificateDescriptionPtr&) { return CertificateState::Valid; },
        QDateTime());
    EXPECT_EQ(info->signs().front()->messageDigest(), digest);
}
