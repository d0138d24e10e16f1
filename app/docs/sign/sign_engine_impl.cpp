#include "docs/sign/sign_engine_impl.h"

#include "docs/reports/verification_report.h"
#include "docs/sign/read_only_files.h"
#include "docs/sign/signer_check.h"

#include "crypto_setup/crypto_engine_setup.h"
#include "crypto_setup/key_unlock.h"

#include "crypto/engine/crypto_engine.h"
#include "tessel/filefuncs.h"

namespace tessel::docs {
namespace {

// The file info keeps its temporary file on disk until the last copy of it goes.
QSharedPointer<QFileInfo> owningFileInfo(const QSharedPointer<QTemporaryFile>& file)
{
    return QSharedPointer<QFileInfo>(new QFileInfo(file->fileName()), [file](QFileInfo* info) { delete info; });
}

// The signature is still in the file's write buffer; a disk that is full must fail the
// signing instead of leaving a cut-off signature behind a success.
void rewind(QTemporaryFile& file)
{
    if (!file.flush() || !file.reset())
        throw utils::exception(QStringLiteral("SignEngine: Error writing signature file \"%1\": %2")
                                   .arg(file.fileName(), file.errorString()));
}

} // namespace

void SignEngineImpl::sign(const QString& password, const QVector<QFileInfo>& files,
                          std::function<void(const SignResult&)> done)
{
    done(sign(password, files));
}

SignResult SignEngineImpl::sign(const QString& password, const QVector<QFileInfo>& files)
{
    const QSharedPointer<nxcrypto::CryptoEngine> crypto = tessel::engine();
    const ReadOnlyFiles data(files);
    QVector<QSharedPointer<QTemporaryFile>> signatures;
    QList<QIODevice*> signatureDevices;
    for (int i = 0; i < files.size(); ++i) {
        signatures.append(utils::mkTemp(utils::signPrefix));
        signatureDevices.append(signatures.back().data());
    }
    unlockKey(*crypto, password);

    SignResult result;
    result.hashes = QVector<QByteArray>::fromList(crypto->sign(data.devices(), signatureDevices));
    for (const QSharedPointer<QTemporaryFile>& signature : signatures) {
        rewind(*signature);
        result.signFiles.append(owningFileInfo(signature));
    }
    return result;
}

nxcrypto::SignInfoPtr SignEngineImpl::verify(bool, const QVector<QFileInfo>& dataFiles,
                                             const QVector<QFileInfo>& signFiles, const QDateTime& checkTime)
{
    const QSharedPointer<nxcrypto::CryptoEngine> crypto = tessel::engine();
    const ReadOnlyFiles data(dataFiles);
    const ReadOnlyFiles signatures(signFiles);
    return crypto->verifySign(data.devices(), signatures.devices(), SignerCheck(crypto), checkTime);
}

QString SignEngineImpl::report(const nxcrypto::SignInfoPtr& info) { return verificationReport(info); }

} // namespace tessel::docs
