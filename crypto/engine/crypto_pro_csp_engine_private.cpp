#include "crypto/engine/crypto_pro_csp_engine_p.h"

#include "crypto/engine/certificate_describer.h"
#include "crypto/engine/csp_chain_wrappers.h"
#include "crypto/engine/csp_provider_wrappers.h"
#include "crypto/engine/csp_store_wrappers.h"
#include "crypto/errors/exception.h"
#include "crypto/errors/system_error_text.h"
#include "crypto/platform/openssl_access.h"
#include "crypto/platform/x500_name.h"

namespace nxcrypto {

void CryptoProCSPEnginePrivate::checkProvider(const char* message) const
{
    if (!provider)
        throw Exception(QString::fromLatin1(message));
}

void CryptoProCSPEnginePrivate::initKey()
{
    key = cryptoGetKey(provider.get(), false);
    exchangeKey = false;
    if (!key) {
        key = cryptoGetKey(provider.get(), true);
        exchangeKey = true;
    }
    if (!key)
        throw Exception(QStringLiteral("CryptoProCSPEnginePrivate::initKey(): Can't find any key in the storage \"%1\"")
                            .arg(keyName));
    keyCertificate = cryptoGetKeyCert(key.get(), usingMachineKeyset, silent, false);
}

CertificateDescriptionPtr CryptoProCSPEnginePrivate::describeWithChain(const csp::CertContext* certificate,
                                                                       csp::CertStore* additionalStore) const
{
    const std::vector<csp::CertContextHandle> chain =
        certBuildChain(chainEngine.get(), additionalStore, certificate, urlRetrieveTimeout,
                       QDateTime::currentDateTime(), false);
    return chain.empty() ? describeCertificate(certificate) : describeChain(chain);
}

std::vector<csp::CertContextHandle> CryptoProCSPEnginePrivate::longestChain(csp::CertStore* extra,
                                                                            csp::CertStore* source) const
{
    const csp::StoreHandle stores = certCreateStoreCollection();
    certPushStoreToCollection(stores.get(), extra);
    if (caStore)
        certPushStoreToCollection(stores.get(), caStore.get());
    csp::ChainEngine* engine = isInitialized() ? chainEngine.get() : nullptr;
    std::vector<csp::CertContextHandle> longest;
    for (csp::CertContextHandle certificate = certEnumCertificatesInStore(source, csp::CertContextHandle());
         certificate; certificate = certEnumCertificatesInStore(source, std::move(certificate))) {
        std::vector<csp::CertContextHandle> chain =
            certBuildChain(engine, stores.get(), certificate.get(), urlRetrieveTimeout, QDateTime::currentDateTime(),
                           false);
        if (chain.size() > longest.size())
            longest = std::move(chain);
    }
    return longest;
}

csp::CertContextHandle CryptoProCSPEnginePrivate::findCertificate(csp::CertStore* store, const QString& serialNumberHex,
                                                                  const QString& issuerName) const
{
    const uint32_t nameFlags[] = {0, csp::kNameStrEnableUtf8Unicode, csp::kNameStrForceUtf8DirStr};
    for (uint32_t flags : nameFlags) {
        std::vector<uint8_t> issuer;
        if (!csp::stringToName(issuerName.toStdString(), flags, &issuer))
            throw Exception(QStringLiteral("crypto_cast<CertId>(const CertificateDescriptionPtr& cert): Error %1")
                                .arg(lastErrorText()));
        const QByteArray serial = hexToBytes(serialNumberHex);
        csp::CertContextHandle found = certFindById(store, issuer, std::vector<uint8_t>(serial.begin(), serial.end()));
        if (found)
            return found;
    }
    const QByteArray serial = hexToBytes(serialNumberHex);
    for (csp::CertContextHandle certificate = certEnumCertificatesInStore(store, csp::CertContextHandle()); certificate;
         certificate = certEnumCertificatesInStore(store, std::move(certificate))) {
        const std::vector<uint8_t> own = csp::certSerialNumber(certificate.get());
        if (QByteArray(reinterpret_cast<const char*>(own.data()), static_cast<int>(own.size())) == serial
            && nameToText(csp::certIssuerName(certificate.get())) == issuerName)
            return certificate;
    }
    return csp::CertContextHandle();
}

csp::X509Ptr CryptoProCSPEnginePrivate::keyCertificateX509() const
{
    X509* certificate = csp::certX509(keyCertificate.get());
    if (!certificate)
        throw Exception(QStringLiteral("CryptoProCSPEnginePrivate::keyCertificateX509(): No key certificate"));
    X509_up_ref(certificate);
    return csp::X509Ptr(certificate);
}

csp::EvpPkeyPtr CryptoProCSPEnginePrivate::keyPrivateKey() const
{
    checkProvider("CryptoProCSPEnginePrivate::keyPrivateKey(): Provider not initialized.");
    csp::EvpPkeyPtr privateKey =
        csp::providerPrivateKey(provider.get(), exchangeKey ? csp::kAtKeyExchange : csp::kAtSignature);
    if (!privateKey)
        throw Exception(QStringLiteral("CryptoProCSPEnginePrivate::keyPrivateKey(): Error %1").arg(lastErrorText()));
    return privateKey;
}

std::vector<csp::X509Ptr> CryptoProCSPEnginePrivate::rootStoreCertificates() const
{
    const csp::StoreHandle root = certOpenSystemStore(QStringLiteral("ROOT"));
    return csp::storeX509Certificates(root.get());
}

std::vector<csp::X509Ptr> CryptoProCSPEnginePrivate::caStoreCertificates() const
{
    return csp::storeX509Certificates(caStore.get());
}

std::vector<csp::X509CrlPtr> CryptoProCSPEnginePrivate::storeCrls() const
{
    const csp::StoreHandle root = certOpenSystemStore(QStringLiteral("ROOT"));
    std::vector<csp::X509CrlPtr> crls = csp::storeX509Crls(root.get());
    for (csp::CertStore* store : {caStore.get(), trustStore.get()}) {
        if (!store)
            continue;
        for (csp::X509CrlPtr& crl : csp::storeX509Crls(store))
            crls.push_back(std::move(crl));
    }
    return crls;
}

} // namespace nxcrypto
