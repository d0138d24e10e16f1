// Hashing, signing and the check of each data block.

#include "cms_forge.h"
#include "crypto_test_support.h"
#include "support/file_size_limit.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <atomic>
#include <thread>

using namespace crypto_test;
using namespace nxcrypto;

namespace {

// A device that gives some bytes and then fails.
class FailingDevice : public QIODevice
{
public:
    FailingDevice() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (given_)
            return -1;
        given_ = true;
        const qint64 n = qMin<qint64>(maxSize, 4);
        memcpy(data, "abcd", static_cast<size_t>(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    bool given_ = false;
};

class SignVerify : public ProviderRootTest
{
protected:
    void SetUp() override
    {
        ProviderRootTest::SetUp();
        addStandardStores();
        // The configured CA store decides about the root: it must hold it.
        addToStore(QStringLiteral("CA"), QStringLiteral("root.cer"));
    }

    QSharedPointer<CryptoProCSPEngine> signer(const QString& pkiName)
    {
        importContainer(pkiName, pkiName);
        return engineFor(pkiName, {{QStringLiteral("caStore"), QStringLiteral("CA")}});
    }

    static QByteArray signBytes(CryptoEngine& engine, const QByteArray& data, QByteArray* digest = nullptr)
    {
        QBuffer input;
        input.setData(data);
        input.open(QIODevice::ReadOnly);
        QBuffer output;
        output.open(QIODevice::WriteOnly);
        const QByteArray value = engine.sign(&input, &output);
        if (digest)
            *digest = value;
        return output.data();
    }

    static SignInfoPtr verifyBytes(CryptoEngine& engine, const QList<QByteArray>& data, const QList<QByteArray>& signs,
                                   const QDateTime& time = QDateTime())
    {
        QList<QSharedPointer<QBuffer>> buffers;
        QList<QIODevice*> dataDevices;
        QList<QIODevice*> signDevices;
        for (const QByteArray& bytes : data + signs) {
            auto buffer = QSharedPointer<QBuffer>::create();
            buffer->setData(bytes);
            buffer->open(QIODevice::ReadOnly);
            buffers.append(buffer);
            (dataDevices.size() < data.size() ? dataDevices : signDevices).append(buffer.data());
        }
        return engine.verifySign(
            dataDevices, signDevices, [](const CertificateDescriptionPtr&) { return CertificateState::Valid; }, time);
    }

    static QString exceptionText(const DataSignInfoPtr& block)
    {
        if (!block->exception())
            return QString();
        try {
            std::rethrow_exception(block->exception());
        } catch (const std::exception& error) {
            return QString::fromUtf8(error.what());
        }
    }
};

const QByteArray document = QByteArray("Документ для подписи\n").repeated(1000);

} // namespace

TEST_F(SignVerify, SigningAndHashingTheSameBytesGiveTheSameDigest)
{
    const std::pair<const char*, int> cases[] = {{"user", 32}, {"user512", 64}, {"user2001", 32}};
    for (const auto& c : cases) {
        const auto engine = signer(QString::fromLatin1(c.first));
        QByteArray digest;
        const QByteArray signature = signBytes(*engine, document, &digest);
        QBuffer data;
        data.setData(document);
        data.open(QIODevice::ReadOnly);
        EXPECT_EQ(engine->hash(&data), digest) << c.first;
        EXPECT_EQ(digest.size(), c.second) << c.first;

        const SignInfoPtr info = verifyBytes(*engine, {document}, {signature});
        ASSERT_EQ(info->signs().size(), 1);
        const DataSignInfoPtr block = info->signs().front();
        EXPECT_EQ(block->signState(), SignState::Valid) << c.first << exceptionText(block).toStdString();
        EXPECT_EQ(exceptionText(block), QString());
        EXPECT_EQ(block->messageDigest(), digest);
        EXPECT_LE(qAbs(block->signingTime().secsTo(QDateTime::currentDateTime())), 60);
        EXPECT_EQ(info->globalSignState(), SignState::Valid);
        EXPECT_EQ(info->certificateState(), CertificateState::Valid) << c.first << info->techInfo().toStdString();
    }
}

TEST_F(SignVerify, ChangedDataIsAnInvalidSignatureWithoutException)
{
    const auto engine = signer(QStringLiteral("user"));
    const QByteArray signature = signBytes(*engine, document);
    QByteArray changed = document;
    changed[10] = 'X';
    const SignInfoPtr info = verifyBytes(*engine, {changed}, {signature});
    EXPECT_EQ(info->signs().front()->signState(), SignState::Invalid);
    EXPECT_EQ(exceptionText(info->signs().front()), QString());
    EXPECT_EQ(info->globalSignState(), SignState::Invalid);
}

TEST_F(SignVerify, MalformedSignaturesEndTheirBlockWithAnException)
{
    const auto engine = signer(QStringLiteral("user"));
    struct Case
    {
        QByteArray signature;
        QString exception;
        SignState state;
    };
    const Case cases[] = {
        {QByteArray(), QStringLiteral("CryptoProCSPEnginePrivate::verifyDataSign(): Error reading sign data \""),
         SignState::NotDetermined},
        {QByteArray("not a signature"), QStringLiteral("msgUpdate(): Error Code: 2148086027"),
         SignState::NotDetermined},
        {TestPki::bytes(QStringLiteral("chain.p7b")),
         QStringLiteral("CryptoProCSPEnginePrivate::verifyDataSign(): Wrong certificate count in message: 3"),
         SignState::NotDetermined},
        {forgeSignature(document, QStringLiteral("user"), ForgeOptions{true, true, true, 2}),
         QStringLiteral("CryptoProCSPEnginePrivate::verifyDataSign(): Wrong signers count in message: 2"),
         SignState::Valid},
        {forgeSignature(document, QStringLiteral("user"), ForgeOptions{true, false, true, 1}),
         QStringLiteral("CryptoProCSPEnginePrivate::verifyDataSign(): No signed signingTime attribute"),
         SignState::Valid},
    };
    for (const Case& c : cases) {
        const SignInfoPtr info = verifyBytes(*engine, {document}, {c.signature});
        const DataSignInfoPtr block = info->signs().front();
        EXPECT_TRUE(exceptionText(block).startsWith(c.exception)) << exceptionText(block).toStdString();
        EXPECT_EQ(block->signState(), c.state) << c.exception.toStdString();
    }
    // A block whose signature matches counts as valid even with its exception.
    const SignInfoPtr noTime = verifyBytes(*engine, {document}, {cases[4].signature});
    EXPECT_EQ(noTime->globalSignState(), SignState::Valid);
    EXPECT_FALSE(noTime->signs().front()->signingTime().isValid());
    EXPECT_FALSE(noTime->signs().front()->messageDigest().isEmpty());
}

TEST_F(SignVerify, BlocksSignedByDifferentCertificatesSkipTheChainCheck)
{
    const auto user = signer(QStringLiteral("user"));
    const auto agent = signer(QStringLiteral("agent"));
    const QByteArray second = QByteArray("вложение");
    const SignInfoPtr info =
        verifyBytes(*user, {document, second}, {signBytes(*user, document), signBytes(*agent, second)});
    EXPECT_EQ(info->certificateState(), CertificateState::DifferentCertificates);
    EXPECT_EQ(info->globalSignState(), SignState::Valid);
    ASSERT_TRUE(info->certificate());
    EXPECT_TRUE(info->certificate()->subjectName().contains(QStringLiteral("Иванов")));
    EXPECT_FALSE(info->certificate()->issuerCertificate());
    EXPECT_TRUE(info->techInfo().isEmpty());
}

TEST_F(SignVerify, BlockWithoutCertificateMakesTheStateUndetermined)
{
    const auto engine = signer(QStringLiteral("user"));
    const SignInfoPtr info =
        verifyBytes(*engine, {document, document}, {signBytes(*engine, document), QByteArray("x")});
    EXPECT_EQ(info->certificateState(), CertificateState::NotDetermined);
    EXPECT_EQ(info->globalSignState(), SignState::Invalid);
}

TEST_F(SignVerify, WrongCountsFailBeforeAnythingIsSignedOrChecked)
{
    const auto engine = signer(QStringLiteral("user"));
    QBuffer a, b, s;
    a.setData("a");
    b.setData("b");
    a.open(QIODevice::ReadOnly);
    b.open(QIODevice::ReadOnly);
    s.open(QIODevice::WriteOnly);
    EXPECT_EQ(errorOf([&] {
                  engine->sign(QList<QIODevice*>{&a, &b}, QList<QIODevice*>{&s});
              }),
              QStringLiteral("CryptoProCSPEngine::sign(): Wrong count of data (2) and sign (1) blocks"));
    EXPECT_TRUE(s.data().isEmpty());
    EXPECT_EQ(a.pos(), 0);
    EXPECT_EQ(errorOf([&] { engine->sign(QList<QFileInfo>{QFileInfo(QStringLiteral("x"))}, QList<QFileInfo>()); }),
              QStringLiteral("CryptoProCSPEngine::sign(): Wrong count of data (1) and sign (0) blocks"));
    EXPECT_EQ(errorOf([&] {
                  engine->verifySign(QList<QIODevice*>{&a}, QList<QIODevice*>{&b, &s}, CertificateCheck(), QDateTime());
              }),
              QStringLiteral("CryptoProCSPEngine::verifySign(): Wrong count of data (1) and sign (2) blocks"));
}

TEST_F(SignVerify, NullCheckTimeRecordsNow)
{
    const auto engine = signer(QStringLiteral("user"));
    const QDateTime before = QDateTime::currentDateTime();
    const SignInfoPtr info = verifyBytes(*engine, {document}, {signBytes(*engine, document)});
    EXPECT_GE(info->checkTime(), before.addSecs(-1));
    EXPECT_LE(info->checkTime(), QDateTime::currentDateTime());
    const QDateTime fixed(QDate(2030, 1, 2), QTime(3, 4, 5));
    EXPECT_EQ(verifyBytes(*engine, {document}, {signBytes(*engine, document)}, fixed)->checkTime(), fixed);
}

TEST_F(SignVerify, UnreadableDataFailsWithTheDevicesError)
{
    const auto engine = signer(QStringLiteral("user"));
    FailingDevice failing;
    EXPECT_TRUE(errorOf([&] {
                    engine->hash(&failing);
                }).startsWith(QStringLiteral("CryptoProCSPEngine::hash(): Can't read data from stream: ")));
    FailingDevice failingSign;
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    EXPECT_TRUE(errorOf([&] { engine->sign(&failingSign, &out); })
                    .startsWith(QStringLiteral("CryptoProCSPEngine::sign(): Error.\nReason: "
                                               "CryptoProCSPEngine::sign(): Can't read data from stream: ")));
    EXPECT_TRUE(out.data().isEmpty());
    QBuffer closed;
    EXPECT_EQ(errorOf([&] { engine->hash(&closed); }),
              QStringLiteral("CryptoProCSPEngine::hash(): Provided stream is not readable."));
    EXPECT_EQ(errorOf([&] { engine->sign(&closed, &out); }),
              QStringLiteral("CryptoProCSPEngine::sign(): Provided stream is not readable."));

    FailingDevice failingData;
    QBuffer signature;
    signature.setData(signBytes(*engine, "abcd"));
    signature.open(QIODevice::ReadOnly);
    const SignInfoPtr info = engine->verifySign(
        QList<QIODevice*>{&failingData}, QList<QIODevice*>{&signature},
        [](const CertificateDescriptionPtr&) { return CertificateState::Valid; }, QDateTime());
    EXPECT_TRUE(exceptionText(info->signs().front())
                    .startsWith(QStringLiteral("CryptoProCSPEnginePrivate::verifyDataSign(): Error reading data \"")));
}

TEST_F(SignVerify, FileVariantsWriteWholeSignaturesOnly)
{
    const auto engine = signer(QStringLiteral("user"));
    const QString data = tempFile(QStringLiteral("doc.0"), document);
    const QString other = tempFile(QStringLiteral("doc.1"), QByteArray("вложение"));
    const QString sign0 = rootPath() + QStringLiteral("/doc.0.sign");
    const QString sign1 = rootPath() + QStringLiteral("/doc.1.sign");
    const QList<QByteArray> digests = engine->sign(QList<QFileInfo>{QFileInfo(data), QFileInfo(other)},
                                                   QList<QFileInfo>{QFileInfo(sign0), QFileInfo(sign1)});
    ASSERT_EQ(digests.size(), 2);
    const auto accept = [](const CertificateDescriptionPtr&) { return CertificateState::Valid; };
    const SignInfoPtr info =
        engine->verifySign(QList<QFileInfo>{QFileInfo(data), QFileInfo(other)},
                           QList<QFileInfo>{QFileInfo(sign0), QFileInfo(sign1)}, accept, QDateTime());
    EXPECT_EQ(info->globalSignState(), SignState::Valid);
    EXPECT_EQ(info->signs().at(1)->messageDigest(), digests.at(1));
    EXPECT_EQ(engine->verifySign(QFileInfo(data), QFileInfo(sign0), accept, QDateTime())->certificateState(),
              CertificateState::Valid);

    const QString missing = rootPath() + QStringLiteral("/missing");
    EXPECT_EQ(errorOf([&] { engine->sign(QFileInfo(missing), QFileInfo(sign0)); }),
              QStringLiteral("CryptoProCSPEngine::sign(): can't open %1 for reading").arg(missing));
    EXPECT_EQ(errorOf([&] { engine->sign(QFileInfo(data), QFileInfo(missing + QStringLiteral("/x.sign"))); }),
              QStringLiteral("CryptoProCSPEngine::sign(): can't open %1/x.sign for writing").arg(missing));
    EXPECT_EQ(errorOf([&] { engine->verifySign(QFileInfo(missing), QFileInfo(sign0), accept, QDateTime()); }),
              QStringLiteral("CryptoProCSPEngine::verifySign(): can't open %1 for reading").arg(missing));
    EXPECT_TRUE(errorOf([&] {
                    engine->verifySign(QList<QFileInfo>{QFileInfo(data)}, QList<QFileInfo>{QFileInfo(missing)}, accept,
                                       QDateTime());
                }).startsWith(QStringLiteral("SignEngine: Error opening file \"%1\": ").arg(missing)));

    // A signing that fails leaves the earlier signature file as it was.
    const QByteArray before = readAll(sign0);
    importContainer(QStringLiteral("locked"), QStringLiteral("user"), false, QStringLiteral("0000"));
    const auto locked = engineFor(QStringLiteral("locked"));
    EXPECT_FALSE(errorOf([&] { locked->sign(QFileInfo(data), QFileInfo(sign0)); }).isEmpty());
    EXPECT_EQ(readAll(sign0), before);
    // So does one whose signature cannot be written out (a file size limit stands in for a full disk).
    const QString unwritten = errorOf([&] {
        const FileSizeLimit limit(64);
        engine->sign(QFileInfo(data), QFileInfo(sign0));
    });
    EXPECT_EQ(unwritten, QStringLiteral("CryptoProCSPEngine::sign(): Error writing PKCS7 message: File too large"));
    EXPECT_EQ(readAll(sign0), before);
    EXPECT_EQ(QDir(rootPath()).entryList({QStringLiteral("doc.0.sign*")}, QDir::Files),
              QStringList{QStringLiteral("doc.0.sign")});
}

TEST_F(SignVerify, OneEngineSignsAndVerifiesOnSeveralThreadsAtOnce)
{
    const auto engine = signer(QStringLiteral("user"));
    std::atomic<int> valid{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 5; ++i) {
                const QByteArray data = document + QByteArray::number(t * 100 + i);
                const SignInfoPtr info = verifyBytes(*engine, {data}, {signBytes(*engine, data)});
                if (info->globalSignState() == SignState::Valid && info->certificateState() == CertificateState::Valid)
                    ++valid;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(valid.load(), 20);
}
