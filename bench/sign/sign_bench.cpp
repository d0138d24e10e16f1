// Measures the engine's sign and verify of one large file against the GOST R 34.11-2012
// hashing speed of `openssl dgst` on the same file, and the process's peak memory.

#include "crypto/crypto_pro_csp_engine.h"
#include "crypto/platform/cert_context.h"
#include "crypto/platform/cert_store.h"
#include "crypto/platform/key_container.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <random>

using namespace nxcrypto;

namespace {

[[noreturn]] void die(const QString& message)
{
    std::fprintf(stderr, "sign_bench: %s\n", qPrintable(message));
    std::exit(1);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        die(QStringLiteral("cannot read ") + path);
    return file.readAll();
}

long peakRssMb()
{
    struct rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Pseudo-random content, written in pieces so that the benchmark itself stays small.
void writeData(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        die(QStringLiteral("cannot write ") + path);
    std::mt19937_64 random(42);
    QByteArray piece(1 << 20, Qt::Uninitialized);
    for (qint64 written = 0; written < size; written += piece.size()) {
        auto* words = reinterpret_cast<quint64*>(piece.data());
        for (int i = 0; i < piece.size() / 8; ++i)
            words[i] = random();
        file.write(piece.constData(), qMin<qint64>(piece.size(), size - written));
    }
}

void setUpWorkstation(const QString& pki)
{
    using namespace csp;
    const QByteArray key = readAll(pki + QStringLiteral("/user.key.pem"));
    const QByteArray certificate = readAll(pki + QStringLiteral("/user.cer"));
    if (!importContainerKey("bench", false, kAtSignature, key.toStdString(),
            std::vector<uint8_t>(certificate.begin(), certificate.end()), std::string()))
        die(QStringLiteral("cannot import the key"));
    const std::pair<const char*, const char*> stores[] = {
        {"ROOT", "root.cer"}, {"CA", "intermediate.cer"}};
    for (const auto& entry : stores) {
        const QByteArray der = readAll(pki + QLatin1Char('/') + QLatin1String(entry.second));
        CertStore* store = openSystemStore(entry.first);
        CertContext* context = createCertificateContext(reinterpret_cast<const uint8_t*>(der.constData()),
            static_cast<size_t>(der.size()));
        if (!store || !context || !addCertificateToStore(store, context, kStoreAddReplaceExisting))
            die(QStringLiteral("cannot fill the stores"));
        freeCertificateContext(context);
        closeStore(store);
    }
}

double megabytesPerSecond(qint64 bytes, qint64 milliseconds)
{
    return milliseconds > 0 ? (bytes / 1e6) / (milliseconds / 1000.0) : 0.0;
}

double opensslDigestRate(const QString& path, qint64 size)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("OPENSSL_CONF"), QStringLiteral(OPENSSL_GOST_CNF));
    environment.insert(QStringLiteral("PKI_CA_DIR"), QStringLiteral("/nonexistent"));
    environment.insert(QStringLiteral("PKI_CDP"), QStringLiteral("http://127.0.0.1:1/none.crl"));
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral("openssl"), {QStringLiteral("dgst"), QStringLiteral("-md_gost12_256"), path});
    if (!process.waitForFinished(600000) || process.exitCode() != 0)
        die(QStringLiteral("openssl dgst failed: ") + QString::fromUtf8(process.readAllStandardError()));
    return megabytesPerSecond(size, timer.elapsed());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const qint64 sizeMb = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200;
    const qint64 size = sizeMb * 1000 * 1000;
    QTemporaryDir work;
    qputenv("NXCSP_ROOT", work.filePath(QStringLiteral("nxcsp")).toUtf8());
    const QString pki = work.filePath(QStringLiteral("pki"));
    if (QProcess::execute(QStringLiteral("bash"), {QStringLiteral(MAKE_TEST_PKI), pki}) != 0)
        die(QStringLiteral("make-test-pki failed"));
    setUpWorkstation(pki);

    const QString data = work.filePath(QStringLiteral("data.bin"));
    const QString signature = work.filePath(QStringLiteral("data.bin.sign"));
    writeData(data, size);
    const long rssBefore = peakRssMb();

    CryptoProCSPEngine engine;
    engine.init(QStringLiteral("{\"storageType\": \"HD\", \"keyName\": \"bench\", \"caStore\": \"CA\", "
                               "\"trustStore\": \"velmar_portal_proxy_trust\", \"ignoringMissingCrl\": true}"));

    // Warm the page cache so that every reader meets the same file state.
    opensslDigestRate(data, size);
    const double dgst = opensslDigestRate(data, size);

    QElapsedTimer timer;
    timer.start();
    engine.sign(QFileInfo(data), QFileInfo(signature));
    const double sign = megabytesPerSecond(size, timer.elapsed());

    timer.restart();
    const SignInfoPtr info = engine.verifySign(QFileInfo(data), QFileInfo(signature),
        [](const CertificateDescriptionPtr&) { return CertificateState::Valid; }, QDateTime());
    const double verify = megabytesPerSecond(size, timer.elapsed());
    if (info->globalSignState() != SignState::Valid)
        die(QStringLiteral("the signature did not verify"));

    const long rssAfter = peakRssMb();
    std::printf("file: %lld MB (GOST R 34.10-2012 256-bit key, GOST R 34.11-2012 256-bit digest)\n",
        static_cast<long long>(sizeMb));
    std::printf("openssl dgst -md_gost12_256: %8.1f MB/s\n", dgst);
    std::printf("engine sign:                 %8.1f MB/s   ratio %.2f\n", sign, sign / dgst);
    std::printf("engine verify:               %8.1f MB/s   ratio %.2f\n", verify, verify / dgst);
    std::printf("peak resident memory: %ld MB before signing, %ld MB after verifying\n", rssBefore, rssAfter);
    return 0;
}
