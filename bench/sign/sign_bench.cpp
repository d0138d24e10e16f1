// Measures the engine's sign and verify of one large file against the GOST R 34.11-2012
// hashing speed of `openssl dgst` on the same file, and the process's peak memory.

#include "crypto/engine/crypto_pro_csp_engine.h"
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

#include <algorithm>
#include <cstdio>
#include <random>

using namespace nxcrypto;

namespace {

[[noreturn]] void die(const QString& message)
{
    std::fprintf(stderr, "sign_bench: %s\n", qPrintable(message));
    std::exit(1);
}

constexpr qint64 maxSizeMb = 1000 * 1000;
constexpr int maxRounds = 1000;

[[noreturn]] void usage()
{
    std::fprintf(stderr,
                 "usage: sign_bench [SIZE_MB [ROUNDS]]\n"
                 "  SIZE_MB  size of the signed file in megabytes, 1 to %lld (default 200)\n"
                 "  ROUNDS   rounds, the best of which is shown, 1 to %d (default 3)\n",
                 static_cast<long long>(maxSizeMb), maxRounds);
    std::exit(2);
}

// A whole number from 1 to max, or the usage: a size of 0 would measure nothing and print "-nan".
qint64 positiveArgument(const char* text, qint64 max)
{
    bool ok = false;
    const qint64 value = QByteArray(text).toLongLong(&ok);
    if (!ok || value < 1 || value > max)
        usage();
    return value;
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
    const std::pair<const char*, const char*> stores[] = {{"ROOT", "root.cer"}, {"CA", "intermediate.cer"}};
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

double megabytesPerSecond(qint64 bytes, double seconds) { return seconds > 0 ? (bytes / 1e6) / seconds : 0.0; }

// Processor seconds (user and system) of this process, or of its waited-for children.
double cpuSeconds(int who)
{
    struct rusage usage = {};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Rates by elapsed time and by processor time: on a busy machine the second is the
// fairer comparison, as every contender loses the same share of wall time.
struct Rate
{
    double wall = 0;
    double cpu = 0;
    void keepBest(const Rate& other)
    {
        wall = std::max(wall, other.wall);
        cpu = std::max(cpu, other.cpu);
    }
};

template <typename Work>
Rate measure(qint64 bytes, int who, Work work)
{
    QElapsedTimer timer;
    const double cpuBefore = cpuSeconds(who);
    timer.start();
    work();
    return Rate{megabytesPerSecond(bytes, timer.nsecsElapsed() / 1e9),
                megabytesPerSecond(bytes, cpuSeconds(who) - cpuBefore)};
}

Rate opensslDigestRate(const QString& path, qint64 size)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("OPENSSL_CONF"), QStringLiteral(OPENSSL_GOST_CNF));
    environment.insert(QStringLiteral("PKI_CA_DIR"), QStringLiteral("/nonexistent"));
    environment.insert(QStringLiteral("PKI_CDP"), QStringLiteral("http://127.0.0.1:1/none.crl"));
    process.setProcessEnvironment(environment);
    return measure(size, RUSAGE_CHILDREN, [&] {
        process.start(QStringLiteral("openssl"), {QStringLiteral("dgst"), QStringLiteral("-md_gost12_256"), path});
        if (!process.waitForFinished(600000) || process.exitCode() != 0)
            die(QStringLiteral("openssl dgst failed: ") + QString::fromUtf8(process.readAllStandardError()));
    });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc > 3)
        usage();
    const qint64 sizeMb = argc > 1 ? positiveArgument(argv[1], maxSizeMb) : 200;
    const int rounds = argc > 2 ? static_cast<int>(positiveArgument(argv[2], maxRounds)) : 3;
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

    // Warm the page cache so that every reader meets the same file state; then take
    // the best of a few interleaved rounds, so that a busy machine disturbs all alike.
    opensslDigestRate(data, size);
    const auto accept = [](const CertificateDescriptionPtr&) { return CertificateState::Valid; };
    Rate dgst;
    Rate sign;
    Rate verify;
    for (int round = 0; round < rounds; ++round) {
        dgst.keepBest(opensslDigestRate(data, size));
        sign.keepBest(measure(size, RUSAGE_SELF, [&] { engine.sign(QFileInfo(data), QFileInfo(signature)); }));
        verify.keepBest(measure(size, RUSAGE_SELF, [&] {
            const SignInfoPtr info = engine.verifySign(QFileInfo(data), QFileInfo(signature), accept, QDateTime());
            if (info->globalSignState() != SignState::Valid)
                die(QStringLiteral("the signature did not verify"));
        }));
    }

    const long rssAfter = peakRssMb();
    std::printf("file: %lld MB (GOST R 34.10-2012 256-bit key, GOST R 34.11-2012 256-bit digest), best of %d rounds\n",
                static_cast<long long>(sizeMb), rounds);
    std::printf("                              by elapsed time          by processor time\n");
    std::printf("openssl dgst -md_gost12_256: %8.1f MB/s              %8.1f MB/s\n", dgst.wall, dgst.cpu);
    std::printf("engine sign:                 %8.1f MB/s  ratio %.2f  %8.1f MB/s  ratio %.2f\n", sign.wall,
                sign.wall / dgst.wall, sign.cpu, sign.cpu / dgst.cpu);
    std::printf("engine verify:               %8.1f MB/s  ratio %.2f  %8.1f MB/s  ratio %.2f\n", verify.wall,
                verify.wall / dgst.wall, verify.cpu, verify.cpu / dgst.cpu);
    std::printf("peak resident memory: %ld MB before signing, %ld MB after verifying\n", rssBefore, rssAfter);
    return 0;
}
