// CryptoProCSPEngine: keys brought from another workstation as PKCS#12 files.

#include "crypto/engine/crypto_pro_csp_engine.h"

#include "crypto/engine/crypto_pro_csp_engine_p.h"
#include "crypto/engine/secret_bytes.h"
#include "crypto/errors/system_error_text.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/key_container.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/pkcs12_import.h"

namespace nxcrypto {

namespace {

struct Refusal
{
    uint32_t code;
    KeyImportProblem problem;
    const char* message;
};

// The layer's codes for a refused file, each with what it tells the user.
const Refusal refusals[] = {
    {csp::err::kCryptEBadEncode, KeyImportProblem::NotPkcs12, "The file is no PKCS#12 file, or it is damaged"},
    {csp::err::kInvalidPassword, KeyImportProblem::WrongPassword, "The password does not open the PKCS#12 file"},
    {csp::err::kNteNoKey, KeyImportProblem::NoKey, "The PKCS#12 file holds no private key"},
    {csp::err::kNteBadAlgId, KeyImportProblem::NotGostKey,
     "The key of the PKCS#12 file is no GOST R 34.10-2001 or 2012 key"},
    {csp::err::kScardENoSuchCertificate, KeyImportProblem::NoKeyCertificate,
     "The PKCS#12 file holds no certificate of its key"},
    {csp::err::kNteExists, KeyImportProblem::ContainerExists, "The key container exists already"},
};

} // namespace

CertificateDescriptionPtr CryptoProCSPEngine::importKey(const QString& keyName, const QByteArray& pfx,
                                                        const QString& password, const QString& pin)
{
    // The PIN in the bytes setKeyPass gives the key later; the password as the file's maker typed it.
    const SecretBytes pinBytes(pin.toLocal8Bit());
    const SecretBytes passwordBytes(password.toUtf8());
    const std::vector<uint8_t> bytes(pfx.constBegin(), pfx.constEnd());
    const QString caStore = d->caStoreName.isNull() ? QStringLiteral("ROOT") : d->caStoreName;
    const QString origin = QStringLiteral("CryptoProCSPEngine::importKey(%1)").arg(keyName);
    if (!csp::importPkcs12Key(keyName.toLocal8Bit().toStdString(), d->usingMachineKeyset, csp::kAtSignature, bytes,
                              passwordBytes.text(), pinBytes.text(), caStore.toLocal8Bit().toStdString())) {
        const uint32_t code = csp::getLastError();
        for (const Refusal& refusal : refusals) {
            if (refusal.code == code)
                throw KeyImportError(refusal.problem,
                                     QStringLiteral("%1: %2").arg(origin, QString::fromLatin1(refusal.message)));
        }
        throw Exception(QStringLiteral("%1: Error %2").arg(origin, lastErrorText()));
    }
    return getKeyCertificate(KeyStorageType::HD, keyName);
}

} // namespace nxcrypto
