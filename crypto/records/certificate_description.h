#pragma once

#include "crypto/records/crypto_enums.h"

#include <QDateTime>
#include <QObject>
#include <QSharedPointer>
#include <QString>

#include <memory>

namespace nxcrypto {

class CertificateDescription;
using CertificateDescriptionPtr = QSharedPointer<CertificateDescription>;

// One certificate as the engine describes it. Built from a chain, it is a linked
// list through issuerCertificate, leaf first.
class CertificateDescription : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString serialNumber READ serialNumber WRITE setSerialNumber)
    Q_PROPERTY(QString subjectName READ subjectName WRITE setSubjectName)
    Q_PROPERTY(QString issuerName READ issuerName WRITE setIssuerName)
    Q_PROPERTY(QDateTime validFrom READ validFrom WRITE setValidFrom)
    Q_PROPERTY(QDateTime validTo READ validTo WRITE setValidTo)
    Q_PROPERTY(QString signatureAlgorithm READ signatureAlgorithm WRITE setSignatureAlgorithm)
    Q_PROPERTY(QString publicKeyAlgorithm READ publicKeyAlgorithm WRITE setPublicKeyAlgorithm)
    Q_PROPERTY(nxcrypto::CertificateDescriptionPtr issuerCertificate READ issuerCertificate WRITE setIssuerCertificate)

public:
    explicit CertificateDescription(QObject* parent = nullptr);
    CertificateDescription(const QString& serialNumber, const QString& serialNumberHex, const QString& subjectName,
                           const QString& issuerName, const QDateTime& validFrom, const QDateTime& validTo,
                           const QString& signatureAlgorithm, const QString& publicKeyAlgorithm,
                           const CertificateDescriptionPtr& issuerCertificate = CertificateDescriptionPtr(),
                           QObject* parent = nullptr);
    ~CertificateDescription() override;

    // Serial as an unsigned decimal integer / as upper-case hexadecimal, big-endian.
    QString serialNumber() const;
    QString serialNumberHex() const;
    // X.500 string forms.
    QString subjectName() const;
    QString issuerName() const;
    // Local time.
    QDateTime validFrom() const;
    QDateTime validTo() const;
    // OIDs.
    QString signatureAlgorithm() const;
    QString publicKeyAlgorithm() const;
    CertificateDescriptionPtr issuerCertificate() const;

    // The GOST algorithm of the public key; None for any other key.
    PublicKeyAlgorithm publicKeyAlgorithmType() const;

    // Compares every field but issuerCertificate.
    bool operator==(const CertificateDescription& other) const;
    bool operator!=(const CertificateDescription& other) const;

public slots:
    void setSerialNumber(const QString& value);
    void setSerialNumberHex(const QString& value);
    void setSubjectName(const QString& value);
    void setIssuerName(const QString& value);
    void setValidFrom(const QDateTime& value);
    void setValidTo(const QDateTime& value);
    void setSignatureAlgorithm(const QString& value);
    void setPublicKeyAlgorithm(const QString& value);
    void setIssuerCertificate(const nxcrypto::CertificateDescriptionPtr& value);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace nxcrypto

Q_DECLARE_METATYPE(nxcrypto::CertificateDescriptionPtr)
