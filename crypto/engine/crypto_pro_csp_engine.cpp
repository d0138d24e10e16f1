// CryptoProCSPEngine: configuration, the key container and the certificate stores.
// Hashing and signatures: crypto_pro_csp_engine_sign.cpp and _verify.cpp; TLS: _tls.cpp.

#include "crypto/engine/crypto_pro_csp_engine.h"

#include "crypto/engine/certificate_describer.h"
#include "crypto/engine/crypto_pro_csp_engine_p.h"
#include "crypto/engine/csp_chain_wrappers.h"
#include "crypto/engine/csp_provider_wrappers.h"
#include "crypto/engine/csp_store_wrappers.h"
#include "crypto/engine/secret_bytes.h"
#include "crypto/errors/system_error_text.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/openssl_init.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace nxcrypto {

namespace {

bool readBoolean(const QJsonObject& config, const QString& key)
{
    const QJsonValue value = config.value(key);
    if (value.isUndefined() || value.isNull())
        return false;
    if (!value.isBool())
        throw Exception(QStringLiteral("CryptoProCSPEngine::init(): \"%1\" is not a valid boolean value").arg(key));
    return value.toBool();
}

} // namespace

CryptoProCSPEngine::CryptoProCSPEngine() : d(QSharedPointer<CryptoProCSPEnginePrivate>::create())
{
    csp::initOpenSsl();
}

CryptoProCSPEngine::~CryptoProCSPEngine() = default;

void CryptoProCSPEngine::init(const QString& config)
{
    d->provider.reset();

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(config.toUtf8(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw Exception(
            QStringLiteral("CryptoProCSPEngine::init(): Error parsing config: %1").arg(parseError.errorString()));
    const QJsonObject object = document.isObject() ? document.object() : QJsonObject();

    const QString storageTypeText = object.value(QStringLiteral("storageType")).toString();
    d->storageType = keyStorageTypeFromName(storageTypeText);
    if (d->storageType == KeyStorageType::None)
        throw Exception(QStringLiteral("CryptoProCSPEngine::init(): Unknown storage type \"%1\"").arg(storageTypeText));

    d->keyName = object.value(QStringLiteral("keyName")).toString();
    if (d->keyName.isEmpty())
        throw Exception(QStringLiteral("CryptoProCSPEngine::init(): Key name is empty"));

    const QJsonValue caStore = object.value(QStringLiteral("caStore"));
    d->caStoreName = caStore.isString() ? caStore.toString() : QString();
    if (caStore.isString() && d->caStoreName.isEmpty())
        throw Exception(QStringLiteral("CryptoProCSPEngine::init(): CA store name is empty"));

    d->trustStoreName = object.value(QStringLiteral("trustStore")).toString();
    if (d->trustStoreName.isEmpty())
        throw Exception(QStringLiteral("CryptoProCSPEngine::init(): Trust store name is empty"));

    d->usingMachineKeyset = readBoolean(object, QStringLiteral("usingMachineKeyset"));
    d->silent = readBoolean(object, QStringLiteral("silent"));
    d->ignoringMissingCrl = readBoolean(object, QStringLiteral("ignoringMissingCrl"));
    d->urlRetrieveTimeout = object.value(QStringLiteral("urlRetrieveTimeout")).toInt(10000);

    try {
        const CertificateDescriptionPtr description = getKeyCertificate(d->storageType, d->keyName);
        d->providerType = provider_type(description->publicKeyAlgorithmType());
        d->provider = cryptAcquireContext(static_cast<quint32>(d->providerType), d->usingMachineKeyset, d->keyName,
                                          d->silent, QString());
        d->publicKeyAlgorithm = description->publicKeyAlgorithmType();
        d->caStore = certOpenSystemStore(d->caStoreName.isNull() ? QStringLiteral("ROOT") : d->caStoreName);
        d->trustStore = certOpenSystemStore(d->trustStoreName);
        d->collection = certCreateStoreCollection();
        certPushStoreToCollection(d->collection.get(), d->caStore.get());
        certPushStoreToCollection(d->collection.get(), d->trustStore.get());
        d->chainEngine = certCreateChainEngine(nullptr);
        d->initKey();
    } catch (const Exception& reason) {
        d->provider.reset();
        throw Exception(QStringLiteral("CryptoProCSPEngine::init(%1): Error").arg(d->keyName), reason);
    }
}

void CryptoProCSPEngine::setKeyPass(const QString& password)
{
    d->checkProvider("CryptoProCSPEngine::setKeyPass(): Provider not initialized.");
    const SecretBytes pin(password.toLocal8Bit());
    if (!csp::setProviderPin(d->provider.get(), d->exchangeKey ? csp::kPpKeyExchangePin : csp::kPpSignaturePin,
                             pin.text())) {
        const QString message = QStringLiteral("setKeyPassword(): error #%1").arg(lastErrorText());
        if (csp::getLastError() == csp::err::kScardWWrongChv)
            throw WrongPassword(message);
        throw Exception(message);
    }
    d->passwordSet = true;
}

bool CryptoProCSPEngine::isInitialized() { return d->isInitialized(); }

QStringList CryptoProCSPEngine::getKeys(KeyStorageType)
{
    const csp::ProviderHandle context =
        cryptAcquireContext(csp::kProvGost2001, d->usingMachineKeyset, QString(), d->silent, QString());
    return cryptoGetContainers(context.get());
}

CertificateDescriptionPtr CryptoProCSPEngine::getKeyCertificate(KeyStorageType, const QString& keyName)
{
    const csp::ProviderHandle context =
        cryptAcquireContext(csp::kProvGost2001, d->usingMachineKeyset, keyName, d->silent, QString());
    csp::KeyHandle key = cryptoGetKey(context.get(), false);
    if (!key)
        key = cryptoGetKey(context.get(), true);
    if (!key)
        throw Exception(
            QStringLiteral("CryptoProCSPEngine::getKeyCertificate(): Certificate for the key \"%1\" not found.")
                .arg(keyName));
    const csp::CertContextHandle certificate = cryptoGetKeyCert(key.get(), d->usingMachineKeyset, d->silent, false);
    if (isInitialized()) {
        try {
            const std::vector<csp::CertContextHandle> chain =
                certBuildChain(d->chainEngine.get(), d->collection.get(), certificate.get(), d->urlRetrieveTimeout,
                               QDateTime::currentDateTime(), false);
            if (!chain.empty())
                return describeChain(chain);
        } catch (const Exception&) {
            // A chain that cannot be built leaves the lone description.
        }
    }
    return describeCertificate(certificate.get());
}

CertificateDescriptionPtr CryptoProCSPEngine::getKeyCertificate()
{
    d->checkProvider("CryptoProCSPEngine::getKeyCertificate(): Provider not initialized.");
    return d->describeWithChain(d->keyCertificate.get(), d->collection.get());
}

KeyStorageType CryptoProCSPEngine::getCurrentStorageType()
{
    d->checkProvider("CryptoProCSPEngine::getCurrentStorageType(): Provider not initialized.");
    return d->storageType;
}

QString CryptoProCSPEngine::getCurrentKeyName()
{
    d->checkProvider("CryptoProCSPEngine::getCurrentKeyName(): Provider not initialized.");
    return d->keyName;
}

CertificateDescriptionPtr CryptoProCSPEngine::getCertificateDescriptionFromBlob(const QByteArray& blob)
{
    try {
        const csp::StoreHandle temporary = openBlobStore(blob);
        const int count = certificateCount(temporary.get());
        if (count == 0)
            throw Exception(QStringLiteral("openBlobStore(): The blob holds no certificate"));
        if (count == 1 && !isInitialized())
            return describeCertificate(certEnumCertificatesInStore(temporary.get(), csp::CertContextHandle()).get());
        const csp::StoreHandle extra = certCreateStoreCollection();
        if (isInitialized() && d->collection)
            certPushStoreToCollection(extra.get(), d->collection.get());
        certPushStoreToCollection(extra.get(), temporary.get());
        const std::vector<csp::CertContextHandle> chain = d->longestChain(extra.get(), temporary.get());
        if (!chain.empty())
            return describeChain(chain);
        return describeCertificate(certEnumCertificatesInStore(temporary.get(), csp::CertContextHandle()).get());
    } catch (const BlobTooLarge&) {
        throw; // the caller tells it from a broken blob
    } catch (const Exception& reason) {
        throw Exception(QStringLiteral("CryptoProCSPEngine::getCertificateDescriptionFromBlob(): Error"), reason);
    }
}

CertificateDescriptionPtr CryptoProCSPEngine::addCertificateFromBlob(bool ca, const QByteArray& blob)
{
    d->checkProvider("CryptoProCSPEngine::addCertificateFromBlob(): Provider not initialized.");
    csp::CertStore* store = d->store(ca);
    const csp::StoreHandle temporary = openBlobStore(blob);
    const int count = certificateCount(temporary.get());
    if (count == 0)
        throw Exception(QStringLiteral("CryptoProCSPEngine::addCertificateFromBlob(): The blob holds no certificate"));
    if (count == 1) {
        const csp::CertContextHandle certificate =
            certEnumCertificatesInStore(temporary.get(), csp::CertContextHandle());
        certAddToStore(store, certificate.get());
        return describeCertificate(certificate.get());
    }
    const std::vector<csp::CertContextHandle> chain = d->longestChain(temporary.get(), temporary.get());
    // Adding nothing and answering with nothing would look like success.
    if (chain.empty())
        throw Exception(QStringLiteral(
            "CryptoProCSPEngine::addCertificateFromBlob(): No certificate chain can be built from the blob"));
    for (size_t i = 1; i < chain.size(); ++i)
        certAddToStore(d->caStore.get(), chain[i].get());
    certAddToStore(d->trustStore.get(), chain.front().get());
    return describeChain(chain);
}

QList<CertificateDescriptionPtr> CryptoProCSPEngine::getCertificates(bool ca)
{
    d->checkProvider("CryptoProCSPEngine::getCertificates(): Provider not initialized.");
    QList<CertificateDescriptionPtr> result;
    csp::CertStore* store = d->store(ca);
    for (csp::CertContextHandle certificate = certEnumCertificatesInStore(store, csp::CertContextHandle()); certificate;
         certificate = certEnumCertificatesInStore(store, std::move(certificate)))
        result.append(describeCertificate(certificate.get()));
    return result;
}

CertificateDescriptionPtr CryptoProCSPEngine::getCertificate(bool ca, const CertificateDescriptionPtr& certificate)
{
    d->checkProvider("CryptoProCSPEngine::getCertificates(): Provider not initialized.");
    const csp::CertContextHandle found =
        d->findCertificate(d->store(ca), certificate->serialNumberHex(), certificate->issuerName());
    if (!found)
        return CertificateDescriptionPtr();
    return d->describeWithChain(found.get(), d->caStore.get());
}

bool CryptoProCSPEngine::deleteCertificate(bool ca, const CertificateDescriptionPtr& certificate)
{
    d->checkProvider("CryptoProCSPEngine::deleteCertificate(): Provider not initialized.");
    const csp::CertContextHandle found =
        d->findCertificate(d->store(ca), certificate->serialNumberHex(), certificate->issuerName());
    if (!found)
        return false;
    certDeleteFromStore(found.get());
    return true;
}

QSharedPointer<CryptoEngine> createCryptoEngine(const QString&) { return QSharedPointer<CryptoProCSPEngine>::create(); }

} // namespace nxcrypto
