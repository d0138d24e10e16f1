#include "crypto_test_support.h"

#include "crypto/platform/cert_context.h"
#include "crypto/platform/cert_store.h"
#include "crypto/platform/crl_context.h"
#include "crypto/platform/key_container.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>

#include <cstdlib>

namespace crypto_test {

std::unique_ptr<QTemporaryDir> TestPki::directory_;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

int runProgram(const QString& program, const QStringList& arguments, QString* output,
               const QStringList& extraEnvironment, const QByteArray& input)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& assignment : extraEnvironment)
        environment.insert(assignment.section(QLatin1Char('='), 0, 0), assignment.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool started = process.waitForStarted(10000);
    if (started) {
        process.write(input);
        process.closeWriteChannel();
    }
    if (!started || !process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished(1000);
        return -1;
    }
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

int runOpenSsl(const QStringList& arguments, QString* output)
{
    return runProgram(QStringLiteral("openssl"), arguments, output,
                      {QStringLiteral("OPENSSL_CONF=" VPP_OPENSSL_GOST_CNF), QStringLiteral("PKI_CA_DIR=/nonexistent"),
                       QStringLiteral("PKI_CDP=http://127.0.0.1:1/none.crl")});
}

void TestPki::generate(const QString& directory, const QString& crlBase)
{
    QString output;
    QStringList environment;
    if (!crlBase.isEmpty())
        environment << QStringLiteral("TEST_PKI_CRL_BASE=") + crlBase;
    const int code =
        runProgram(QStringLiteral("bash"), {QStringLiteral(VPP_MAKE_TEST_PKI), directory}, &output, environment);
    if (code != 0)
        throw std::runtime_error("make-test-pki failed: " + output.toStdString());
}

void TestPki::SetUp()
{
    directory_.reset(new QTemporaryDir);
    ASSERT_TRUE(directory_->isValid());
    generate(directory_->path());
}

void TestPki::TearDown() { directory_.reset(); }

QString TestPki::path(const QString& name) { return directory_->filePath(name); }

QByteArray TestPki::bytes(const QString& name) { return readAll(path(name)); }

void ProviderRootTest::SetUp()
{
    root_.reset(new QTemporaryDir);
    ASSERT_TRUE(root_->isValid());
    hadRoot_ = qEnvironmentVariableIsSet("NXCSP_ROOT");
    previousRoot_ = qgetenv("NXCSP_ROOT");
    qputenv("NXCSP_ROOT", root_->path().toUtf8());
}

void ProviderRootTest::TearDown()
{
    if (hadRoot_)
        qputenv("NXCSP_ROOT", previousRoot_);
    else
        qunsetenv("NXCSP_ROOT");
    root_.reset();
}

void ProviderRootTest::importContainer(const QString& container, const QString& pkiName, bool exchange,
                                       const QString& pin)
{
    const QByteArray key = TestPki::bytes(pkiName + QStringLiteral(".key.pem"));
    const QByteArray certificate = TestPki::bytes(pkiName + QStringLiteral(".cer"));
    ASSERT_TRUE(
        nxcrypto::csp::importContainerKey(container.toStdString(), false,
                                          exchange ? nxcrypto::csp::kAtKeyExchange : nxcrypto::csp::kAtSignature,
                                          key.toStdString(),
                                          std::vector<uint8_t>(certificate.begin(), certificate.end()),
                                          pin.toStdString()));
}

void ProviderRootTest::addToStore(const QString& store, const QString& pkiFile)
{
    using namespace nxcrypto::csp;
    const QByteArray bytes = TestPki::bytes(pkiFile);
    CertStore* opened = openSystemStore(store.toStdString());
    ASSERT_NE(opened, nullptr);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    if (pkiFile.endsWith(QLatin1String(".crl"))) {
        CrlContext* crl = createCrlContext(data, static_cast<size_t>(bytes.size()));
        ASSERT_NE(crl, nullptr);
        EXPECT_TRUE(addCrlToStore(opened, crl, kStoreAddReplaceExisting));
        freeCrlContext(crl);
    } else {
        CertContext* certificate = createCertificateContext(data, static_cast<size_t>(bytes.size()));
        ASSERT_NE(certificate, nullptr);
        EXPECT_TRUE(addCertificateToStore(opened, certificate, kStoreAddReplaceExisting));
        freeCertificateContext(certificate);
    }
    closeStore(opened);
}

void ProviderRootTest::addStandardStores(bool withCrls)
{
    addToStore(QStringLiteral("ROOT"), QStringLiteral("root.cer"));
    addToStore(QStringLiteral("CA"), QStringLiteral("intermediate.cer"));
    if (withCrls) {
        addToStore(QStringLiteral("CA"), QStringLiteral("root.crl"));
        addToStore(QStringLiteral("CA"), QStringLiteral("intermediate.crl"));
    }
}

QString ProviderRootTest::config(const QString& keyName, const QJsonObject& extra)
{
    QJsonObject object{
        {QStringLiteral("storageType"), QStringLiteral("HD")},
        {QStringLiteral("keyName"), keyName},
        {QStringLiteral("trustStore"), QStringLiteral("velmar_portal_proxy_trust")},
    };
    for (auto it = extra.begin(); it != extra.end(); ++it)
        object.insert(it.key(), it.value());
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QSharedPointer<nxcrypto::CryptoProCSPEngine> ProviderRootTest::engineFor(const QString& keyName,
                                                                         const QJsonObject& extra)
{
    auto engine = QSharedPointer<nxcrypto::CryptoProCSPEngine>::create();
    engine->init(config(keyName, extra));
    return engine;
}

QString ProviderRootTest::tempFile(const QString& name, const QByteArray& content) const
{
    const QString path = root_->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        throw std::runtime_error("cannot write " + path.toStdString());
    return path;
}

} // namespace crypto_test
