#pragma once

#include "crypto/errors/exception.h"
#include "crypto/errors/key_import_error.h"
#include "crypto/records/certificate_description.h"
#include "crypto/records/crypto_enums.h"
#include "crypto/records/data_stream.h"
#include "crypto/records/sign_info.h"

#include <QByteArray>
#include <QDateTime>
#include <QFileInfo>
#include <QList>
#include <QSharedPointer>
#include <QStringList>

#include <functional>

class QFile;
class QIODevice;

namespace nxcrypto {

// The caller's own check of the signer's certificate, run last by verifySign.
using CertificateCheck = std::function<CertificateState(const CertificateDescriptionPtr&)>;

// Everything cryptographic the application needs: key containers and their
// passwords, certificate stores, hashing, detached CMS signatures and their
// verification, and the TLS client stream. "ca" selects the CA store (true) or
// the trust store (false). List operations pair data and signatures by position.
class CryptoEngine
{
public:
    virtual ~CryptoEngine() = default;

    virtual void init(const QString& config) = 0;
    virtual void setKeyPass(const QString& password) = 0;
    virtual bool isInitialized() = 0;
    virtual QStringList getKeys(KeyStorageType storageType) = 0;
    virtual CertificateDescriptionPtr getKeyCertificate(KeyStorageType storageType, const QString& keyName) = 0;
    virtual CertificateDescriptionPtr getKeyCertificate() = 0;
    virtual KeyStorageType getCurrentStorageType() = 0;
    virtual QString getCurrentKeyName() = 0;
    virtual CertificateDescriptionPtr getCertificateDescriptionFromBlob(const QByteArray& blob) = 0;
    virtual CertificateDescriptionPtr addCertificateFromBlob(bool ca, const QByteArray& blob) = 0;
    virtual QList<CertificateDescriptionPtr> getCertificates(bool ca) = 0;
    virtual CertificateDescriptionPtr getCertificate(bool ca, const CertificateDescriptionPtr& certificate) = 0;
    virtual bool deleteCertificate(bool ca, const CertificateDescriptionPtr& certificate) = 0;
    // A GOST key from a PKCS#12 file (PFX) with its certificate becomes the signature key of a new
    // container, under the PIN (none when empty); the file's certification authorities go to the
    // CA store. A refused file raises KeyImportError and nothing is written. Returns the key's
    // certificate.
    virtual CertificateDescriptionPtr importKey(const QString& keyName, const QByteArray& pfx, const QString& password,
                                                const QString& pin) = 0;

    virtual QByteArray hash(QIODevice* data) = 0;
    virtual QList<QByteArray> sign(const QList<QFileInfo>& data, const QList<QFileInfo>& signs) = 0;
    virtual QList<QByteArray> sign(const QList<QIODevice*>& data, const QList<QIODevice*>& signs) = 0;
    virtual QByteArray sign(const QFileInfo& data, const QFileInfo& sign) = 0;
    virtual QByteArray sign(QIODevice* data, QIODevice* sign) = 0;
    virtual SignInfoPtr verifySign(const QList<QFileInfo>& data, const QList<QFileInfo>& signs, CertificateCheck check,
                                   const QDateTime& checkTime) = 0;
    virtual SignInfoPtr verifySign(const QList<QIODevice*>& data, const QList<QIODevice*>& signs,
                                   CertificateCheck check, const QDateTime& checkTime) = 0;
    virtual SignInfoPtr verifySign(const QFileInfo& data, const QFileInfo& sign, CertificateCheck check,
                                   const QDateTime& checkTime) = 0;
    virtual SignInfoPtr verifySign(QFile* data, QFile* sign, CertificateCheck check, const QDateTime& checkTime) = 0;

    virtual QSharedPointer<DataStream> createTlsStream(const QSharedPointer<DataStream>& transport) = 0;
};

// A new, uninitialised engine over the GOST provider, whatever the name
// (the application passes "CryptoProCSP").
QSharedPointer<CryptoEngine> createCryptoEngine(const QString& name);

} // namespace nxcrypto
