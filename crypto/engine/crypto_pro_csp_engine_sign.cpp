// CryptoProCSPEngine: hashing and detached signatures.

#include "crypto/engine/crypto_pro_csp_engine.h"

#include "crypto/engine/crypto_pro_csp_engine_p.h"
#include "crypto/engine/csp_message_wrappers.h"
#include "crypto/engine/device_reader.h"

#include <QFile>
#include <QSaveFile>

namespace nxcrypto {

namespace {

void checkReadable(QIODevice* device, const char* message)
{
    if (!device || !device->isReadable())
        throw Exception(QString::fromLatin1(message));
}

QByteArray hashDevice(csp::CryptHash* hash, QIODevice* data, const char* readError)
{
    if (!readInChunks(data, [hash](const char* bytes, qint64 size) { cryptoHashData(hash, bytes, size); }))
        throw Exception(QString::fromLatin1(readError).arg(data->errorString()));
    return cryptoGetHashValue(hash);
}

// Nothing is signed when the lists do not pair up.
void checkBlockCounts(int data, int signs)
{
    if (data != signs)
        throw Exception(QStringLiteral("CryptoProCSPEngine::sign(): Wrong count of data (%1) and sign (%2) blocks")
                            .arg(data)
                            .arg(signs));
}

} // namespace

QByteArray CryptoProCSPEngine::hash(QIODevice* data)
{
    d->checkProvider("CryptoProCSPEngine::hash(): Provider not initialized.");
    checkReadable(data, "CryptoProCSPEngine::hash(): Provided stream is not readable.");
    const csp::HashHandle hash = cryptoCreateHash(d->provider.get(), hash_algorithm(d->publicKeyAlgorithm));
    return hashDevice(hash.get(), data, "CryptoProCSPEngine::hash(): Can't read data from stream: %1.");
}

QByteArray CryptoProCSPEngine::sign(QIODevice* data, QIODevice* sign)
{
    d->checkProvider("CryptoProCSPEngine::sign(): Provider not initialized.");
    checkReadable(data, "CryptoProCSPEngine::sign(): Provided stream is not readable.");
    QByteArray digest;
    QByteArray signature;
    try {
        const HashAlgorithm algorithm = hash_algorithm(d->publicKeyAlgorithm);
        const csp::HashHandle hash = cryptoCreateHash(d->provider.get(), algorithm);
        csp::SignedEncodeInfo info;
        info.signer.certificate = d->keyCertificate.get();
        info.signer.provider = d->provider.get();
        info.signer.keySpec = d->exchangeKey ? csp::kAtKeyExchange : csp::kAtSignature;
        info.signer.hashOid = hashAlgorithmOid(algorithm).toStdString();
        info.certificates.push_back(csp::certEncoded(d->keyCertificate.get()));
        // Opened first, so that a key that cannot sign fails before the data is read.
        const csp::MessageHandle message = msgOpenToEncode(true, MessageType::Signed, info);
        // One pass: the data is hashed once, and the message signs that digest.
        digest = hashDevice(hash.get(), data, "CryptoProCSPEngine::sign(): Can't read data from stream: %1.");
        msgSetContentDigest(message.get(), digest);
        msgUpdate(message.get(), QByteArray(), true);
        signature = msgGetRaw(message.get());
    } catch (const Exception& reason) {
        throw Exception(QStringLiteral("CryptoProCSPEngine::sign(): Error"), reason);
    }
    // A device may take part of the bytes (an unbuffered file on a full disk); writing the rest
    // then meets the failure with its reason.
    qint64 written = 0;
    while (sign && written < signature.size()) {
        const qint64 count = sign->write(signature.constData() + written, signature.size() - written);
        if (count <= 0)
            break;
        written += count;
    }
    if (!sign || written < signature.size())
        throw Exception(QStringLiteral("CryptoProCSPEngine::sign(): Error writing PKCS7 message: %1")
                            .arg(sign ? sign->errorString() : QString()));
    return digest;
}

QByteArray CryptoProCSPEngine::sign(const QFileInfo& data, const QFileInfo& sign)
{
    QFile dataFile(data.filePath());
    if (!dataFile.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("CryptoProCSPEngine::sign(): can't open %1 for reading").arg(data.filePath()));
    // The signature file replaces the old one only once it is complete. Unbuffered, because
    // commit() does not see a failed flush of buffered bytes.
    QSaveFile signFile(sign.filePath());
    if (!signFile.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Exception(QStringLiteral("CryptoProCSPEngine::sign(): can't open %1 for writing").arg(sign.filePath()));
    const QByteArray digest = this->sign(&dataFile, &signFile);
    if (!signFile.commit())
        throw Exception(
            QStringLiteral("CryptoProCSPEngine::sign(): Error writing PKCS7 message: %1").arg(signFile.errorString()));
    return digest;
}

QList<QByteArray> CryptoProCSPEngine::sign(const QList<QIODevice*>& data, const QList<QIODevice*>& signs)
{
    checkBlockCounts(data.size(), signs.size());
    QList<QByteArray> digests;
    for (int i = 0; i < data.size(); ++i)
        digests.append(sign(data[i], signs[i]));
    return digests;
}

QList<QByteArray> CryptoProCSPEngine::sign(const QList<QFileInfo>& data, const QList<QFileInfo>& signs)
{
    checkBlockCounts(data.size(), signs.size());
    QList<QByteArray> digests;
    for (int i = 0; i < data.size(); ++i)
        digests.append(sign(data[i], signs[i]));
    return digests;
}

} // namespace nxcrypto
