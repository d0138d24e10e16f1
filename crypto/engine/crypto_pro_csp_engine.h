#pragma once

#include "crypto/engine/crypto_engine.h"

#include <QSharedPointer>

namespace nxcrypto {

class CryptoProCSPEnginePrivate;

// The engine over the GOST provider layer (OpenSSL with the GOST engine).
// Copies share one private part. init and setKeyPass change state; every other
// operation may run on several threads at once.
class CryptoProCSPEngine : public CryptoEngine
{
public:
    CryptoProCSPEngine();
    ~CryptoProCSPEngine() override;

    void init(const QString& config) override;
    void setKeyPass(const QString& password) override;
    bool isInitialized() override;
    QStringList getKeys(KeyStorageType storageType) override;
    CertificateDescriptionPtr getKeyCertificate(KeyStorageType storageType, const QString& keyName) override;
    CertificateDescriptionPtr getKeyCertificate() override;
    KeyStorageType getCurrentStorageType() override;
    QString getCurrentKeyName() override;
    CertificateDescriptionPtr getCertificateDescriptionFromBlob(const QByteArray& blob) override;
    CertificateDescriptionPtr addCertificateFromBlob(bool ca, const QByteArray& blob) override;
    QList<CertificateDescriptionPtr> getCertificates(bool ca) override;
    CertificateDescriptionPtr getCertificate(bool ca, const CertificateDescriptionPtr& certificate) override;
    bool deleteCertificate(bool ca, const CertificateDescriptionPtr& certificate) override;
    // Defined in crypto_pro_csp_engine_import.cpp.
    CertificateDescriptionPtr importKey(const QString& keyName, const QByteArray& pfx, const QString& password,
                                        const QString& pin) override;

    QByteArray hash(QIODevice* data) override;
    QList<QByteArray> sign(const QList<QFileInfo>& data, const QList<QFileInfo>& signs) override;
    QList<QByteArray> sign(const QList<QIODevice*>& data, const QList<QIODevice*>& signs) override;
    QByteArray sign(const QFileInfo& data, const QFileInfo& sign) override;
    QByteArray sign(QIODevice* data, QIODevice* sign) override;
    SignInfoPtr verifySign(const QList<QFileInfo>& data, const QList<QFileInfo>& signs, CertificateCheck check,
                           const QDateTime& checkTime) override;
    SignInfoPtr verifySign(const QList<QIODevice*>& data, const QList<QIODevice*>& signs, CertificateCheck check,
                           const QDateTime& checkTime) override;
    SignInfoPtr verifySign(const QFileInfo& data, const QFileInfo& sign, CertificateCheck check,
                           const QDateTime& checkTime) override;
    SignInfoPtr verifySign(QFile* data, QFile* sign, CertificateCheck check, const QDateTime& checkTime) override;

    // Defined with the TLS client (crypto_pro_csp_engine_tls.cpp).
    QSharedPointer<DataStream> createTlsStream(const QSharedPointer<DataStream>& transport) override;

private:
    QSharedPointer<CryptoProCSPEnginePrivate> d;
};

} // namespace nxcrypto
