// The sign engine against a workstation with the user's key: the process-wide crypto
// engine, temporary signature files and the check of the signer.

#include "interfaces/sign_engine.h"

#include "crypto/crypto_test_support.h"
#include "crypto_setup/crypto_engine_setup.h"
#include "interfaces/app_config.h"
#include "support/file_size_limit.h"
#include "support/workstation.h"

#include "crypto/engine/crypto_engine.h"
#include "tessel/exception.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace tessel::docs;
using nxcrypto::CertificateState;
using nxcrypto::SignState;

namespace {

const QString pin = QStringLiteral("1234");

QVector<QFileInfo> pathsOf(const SignResult& result)
{
    QVector<QFileInfo> paths;
    for (const QSharedPointer<QFileInfo>& file : result.signFiles)
        paths.append(*file);
    return paths;
}

// A workstation whose only key is the user's, with PIN; the chain and its CRLs are in
// ROOT and the trust store starts empty. Made once per process, because the process-wide
// crypto engine keeps the provider root it first saw. Temporary files made after it go
// to a directory of their own, where the tests count them.
class SignWorkstation
{
public:
    SignWorkstation()
    {
        workstation.importContainer(QStringLiteral("user"), Workstation::pki(QStringLiteral("user.key.pem")),
                                    Workstation::pki(QStringLiteral("user.pem")), pin);
        workstation.addToStore(QStringLiteral("ROOT"),
                               {Workstation::pki(QStringLiteral("root.pem")),
                                Workstation::pki(QStringLiteral("intermediate.pem")),
                                Workstation::pki(QStringLiteral("root.crl.pem")),
                                Workstation::pki(QStringLiteral("intermediate.crl.pem"))});
        qputenv("NXCSP_ROOT", workstation.providerRoot().toLocal8Bit());
        qputenv("TMPDIR", temporaryRoot.path().toLocal8Bit());
        tessel::AppConfig::instance()->updateConfig(
            {{QStringLiteral("crypto"), QJsonObject{{QStringLiteral("keyName"), QStringLiteral("user")}}}});
    }

    Workstation workstation;

private:
    QTemporaryDir temporaryRoot;
};

class SignEngineTest : public ::testing::Test
{
protected:
    static Workstation& workstation()
    {
        static SignWorkstation setup;
        return setup.workstation;
    }

    void SetUp() override { workstation(); }

    QFileInfo document(const QString& name, const QByteArray& content)
    {
        QFile file(documents.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(content), content.size());
        return QFileInfo(file.fileName());
    }

    static QStringList signatureFilesOnDisk()
    {
        return QDir(QDir::tempPath()).entryList({QStringLiteral("kmtSign*")}, QDir::Files | QDir::Hidden);
    }

    static SignEngine& engine() { return *SignEngine::instance(); }

    QTemporaryDir documents;
};

} // namespace

TEST_F(SignEngineTest, SignsEveryFileInOrderWithItsOwnSignatureAndDigest)
{
    // The middle file is larger than one read piece of the crypto engine.
    const QVector<QFileInfo> files{
        document(QStringLiteral("envelope.xml"), "<fes-exchange/>"),
        document(QStringLiteral("scan.pdf"), QByteArray("%PDF-1.4 страница\n").repeated(120000)),
        document(QStringLiteral("note.txt"), "третье вложение"),
    };
    const SignResult result = engine().sign(pin, files);
    ASSERT_EQ(result.signFiles.size(), 3);
    ASSERT_EQ(result.hashes.size(), 3);

    for (int i = 0; i < files.size(); ++i) {
        EXPECT_TRUE(result.signFiles[i]->fileName().startsWith(QStringLiteral("kmtSign")));
        EXPECT_EQ(result.signFiles[i]->absolutePath(), QDir(QDir::tempPath()).absolutePath());
        QFile data(files[i].filePath());
        ASSERT_TRUE(data.open(QIODevice::ReadOnly));
        EXPECT_EQ(result.hashes[i], tessel::engine()->hash(&data)) << "digest " << i;
    }

    // Each signature, read by its path from the first byte, belongs to the data file at its position.
    const nxcrypto::SignInfoPtr info = engine().verify(false, files, pathsOf(result), QDateTime());
    ASSERT_EQ(info->signs().size(), 3);
    for (const nxcrypto::DataSignInfoPtr& block : info->signs())
        EXPECT_EQ(block->signState(), SignState::Valid);
    EXPECT_EQ(info->globalSignState(), SignState::Valid);

    const QStringList verifyCommand{QStringLiteral("cms"),
                                    QStringLiteral("-verify"),
                                    QStringLiteral("-binary"),
                                    QStringLiteral("-inform"),
                                    QStringLiteral("DER"),
                                    QStringLiteral("-in"),
                                    result.signFiles[1]->filePath(),
                                    QStringLiteral("-content"),
                                    files[1].filePath(),
                                    QStringLiteral("-CAfile"),
                                    Workstation::pki(QStringLiteral("ca-bundle.pem")),
                                    QStringLiteral("-purpose"),
                                    QStringLiteral("any"),
                                    QStringLiteral("-out"),
                                    QStringLiteral("/dev/null")};
    QString output;
    EXPECT_EQ(crypto_test::runOpenSsl(verifyCommand, &output), 0) << output.toStdString();
}

TEST_F(SignEngineTest, SignatureFilesLastUntilTheLastCopyOfTheResultGoes)
{
    SignResult result = engine().sign(pin, {document(QStringLiteral("a.xml"), "<a/>")});
    ASSERT_EQ(result.signFiles.size(), 1);
    const QString path = result.signFiles[0]->filePath();
    SignResult copy = result;
    result = SignResult();
    EXPECT_TRUE(QFile::exists(path));
    QSharedPointer<QFileInfo> entry = copy.signFiles[0];
    copy = SignResult();
    EXPECT_TRUE(QFile::exists(path));
    entry.reset();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(signatureFilesOnDisk().isEmpty()) << signatureFilesOnDisk().join(' ').toStdString();
}

TEST_F(SignEngineTest, TheCallbackGetsTheResultWhileItsFilesExist)
{
    const QVector<QFileInfo> files{document(QStringLiteral("a.xml"), "<a/>"), document(QStringLiteral("b.bin"), "b")};
    int calls = 0;
    engine().sign(pin, files, [&](const SignResult& result) {
        ++calls;
        ASSERT_EQ(result.signFiles.size(), 2);
        EXPECT_EQ(result.hashes.size(), 2);
        for (const QSharedPointer<QFileInfo>& file : result.signFiles)
            EXPECT_GT(QFileInfo(file->filePath()).size(), 0);
    });
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(signatureFilesOnDisk().isEmpty());

    EXPECT_THROW(engine().sign(pin, files, nullptr), std::bad_function_call);
    EXPECT_TRUE(signatureFilesOnDisk().isEmpty());
}

TEST_F(SignEngineTest, AFileThatDoesNotOpenFailsTheCallWithItsName)
{
    const QFileInfo a = document(QStringLiteral("a.xml"), "<a/>");
    const QFileInfo b = document(QStringLiteral("b.bin"), "b");
    const SignResult signatures = engine().sign(pin, {a, b});
    const QFileInfo missing(documents.filePath(QStringLiteral("missing.pdf")));
    struct Case
    {
        const char* name;
        std::function<void()> call;
    };
    // The wrong password shows that signing stops at the files, before the key is touched.
    const Case cases[] = {
        {"sign, second data file",
         [&] {
             engine().sign(QStringLiteral("wrong"), {a, missing, b});
         }},
        {"verify, data file",
         [&] {
             engine().verify(false, {missing, b}, pathsOf(signatures), QDateTime());
         }},
        {"verify, signature file",
         [&] {
             engine().verify(false, {a, b}, {*signatures.signFiles[0], missing}, QDateTime());
         }},
    };
    const QStringList before = signatureFilesOnDisk();
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.name << ": no error";
        } catch (const tessel::utils::exception& e) {
            EXPECT_EQ(QString::fromUtf8(e.what()),
                      QStringLiteral("SignEngine: Error opening file \"%1\": No such file or directory")
                          .arg(missing.filePath()))
                << c.name;
        }
        EXPECT_EQ(signatureFilesOnDisk(), before) << c.name;
    }
}

TEST_F(SignEngineTest, TheSignerIsTrustedInTheTrustStoreOrAsTheOwnKey)
{
    const QFileInfo data = document(QStringLiteral("data.xml"), "<документ/>");
    const SignResult own = engine().sign(pin, {data});
    const QFileInfo agentSignature(documents.filePath(QStringLiteral("agent.sign")));
    const QStringList signCommand{QStringLiteral("cms"),
                                  QStringLiteral("-sign"),
                                  QStringLiteral("-binary"),
                                  QStringLiteral("-outform"),
                                  QStringLiteral("DER"),
                                  QStringLiteral("-signer"),
                                  Workstation::pki(QStringLiteral("agent.pem")),
                                  QStringLiteral("-inkey"),
                                  Workstation::pki(QStringLiteral("agent.key.pem")),
                                  QStringLiteral("-in"),
                                  data.filePath(),
                                  QStringLiteral("-out"),
                                  agentSignature.filePath()};
    QString output;
    ASSERT_EQ(crypto_test::runOpenSsl(signCommand, &output), 0) << output.toStdString();

    struct Case
    {
        const char* name;
        QFileInfo signature;
        bool agentInTrustStore;
        CertificateState state;
    };
    const Case cases[] = {
        {"own key, not in the trust store", *own.signFiles[0], false, CertificateState::Valid},
        {"another signer, not trusted", agentSignature, false, CertificateState::UntrustedParty},
        {"another signer in the trust store", agentSignature, true, CertificateState::Valid},
    };
    nxcrypto::CertificateDescriptionPtr agent;
    for (const Case& c : cases) {
        if (c.agentInTrustStore)
            workstation().addToStore(QStringLiteral("velmar_portal_proxy_trust"),
                                     {Workstation::pki(QStringLiteral("agent.pem"))});
        const nxcrypto::SignInfoPtr info = engine().verify(false, {data}, {c.signature}, QDateTime());
        EXPECT_EQ(info->globalSignState(), SignState::Valid) << c.name;
        EXPECT_EQ(info->certificateState(), c.state) << c.name << ": " << info->techInfo().toStdString();
        agent = info->certificate();
    }
    // The trust store starts empty for whichever test comes next.
    ASSERT_TRUE(agent);
    EXPECT_TRUE(tessel::engine()->deleteCertificate(false, agent));
}

TEST_F(SignEngineTest, DifferentCountsOfDataAndSignaturesFailInTheCryptoEngine)
{
    const QFileInfo a = document(QStringLiteral("a.xml"), "<a/>");
    const SignResult signatures = engine().sign(pin, {a});
    try {
        engine().verify(false, {a, a}, pathsOf(signatures), QDateTime());
        ADD_FAILURE() << "no error";
    } catch (const nxcrypto::Exception& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("CryptoProCSPEngine::verifySign(): Wrong count of data (2) and sign (1) blocks"));
    }
}

TEST_F(SignEngineTest, AWrongPasswordSignsNothing)
{
    const QVector<QFileInfo> files{document(QStringLiteral("a.xml"), "<a/>")};
    try {
        engine().sign(QStringLiteral("0000"), files);
        ADD_FAILURE() << "no error";
    } catch (const nxcrypto::Exception& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("setKeyPassword(): error #"))) << e.what();
    }
    EXPECT_TRUE(signatureFilesOnDisk().isEmpty());
    // The right password afterwards works again for every user of the engine.
    EXPECT_EQ(engine().sign(pin, files).signFiles.size(), 1);
}

TEST_F(SignEngineTest, ASignatureThatCannotBeWrittenOutFailsTheSigning)
{
    const QVector<QFileInfo> files{document(QStringLiteral("a.xml"), "<a/>")};
    // A file size limit below a signature's size stands in for a full disk.
    std::string message;
    {
        const FileSizeLimit limit(64);
        try {
            engine().sign(pin, files);
        } catch (const std::exception& e) {
            message = e.what();
        }
    }

    EXPECT_TRUE(
        QString::fromStdString(message).startsWith(QStringLiteral("SignEngine: Error writing signature file \"")))
        << message;
    EXPECT_TRUE(signatureFilesOnDisk().isEmpty());
}
