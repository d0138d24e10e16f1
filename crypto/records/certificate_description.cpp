#include "crypto/records/certificate_description.h"

#include "crypto/errors/exception.h"

namespace nxcrypto {

struct CertificateDescription::Private
{
    QString serialNumber;
    QString serialNumberHex;
    QString subjectName;
    QString issuerName;
    QDateTime validFrom;
    QDateTime validTo;
    QString signatureAlgorithm;
    QString publicKeyAlgorithm;
    CertificateDescriptionPtr issuerCertificate;
};

namespace {
// The library's meta-types are known as soon as the records exist.
const int registeredTypes = [] {
    qRegisterMetaType<CertificateDescriptionPtr>("nxcrypto::CertificateDescriptionPtr");
    qRegisterMetaType<SignState>("nxcrypto::SignState");
    qRegisterMetaType<CertificateState>("nxcrypto::CertificateState");
    return 0;
}();
} // namespace

CertificateDescription::CertificateDescription(QObject* parent) : QObject(parent), d(new Private)
{
    Q_UNUSED(registeredTypes);
}

CertificateDescription::CertificateDescription(const QString& serialNumber, const QString& serialNumberHex,
                                               const QString& subjectName, const QString& issuerName,
                                               const QDateTime& validFrom, const QDateTime& validTo,
                                               const QString& signatureAlgorithm, const QString& publicKeyAlgorithm,
                                               const CertificateDescriptionPtr& issuerCertificate, QObject* parent)
    : QObject(parent),
      d(new Private{serialNumber, serialNumberHex, subjectName, issuerName, validFrom, validTo, signatureAlgorithm,
                    publicKeyAlgorithm, issuerCertificate})
{}

CertificateDescription::~CertificateDescription() = default;

QString CertificateDescription::serialNumber() const { return d->serialNumber; }
QString CertificateDescription::serialNumberHex() const { return d->serialNumberHex; }
QString CertificateDescription::subjectName() const { return d->subjectName; }
QString CertificateDescription::issuerName() const { return d->issuerName; }
QDateTime CertificateDescription::validFrom() const { return d->validFrom; }
QDateTime CertificateDescription::validTo() const { return d->validTo; }
QString CertificateDescription::signatureAlgorithm() const { return d->signatureAlgorithm; }
QString CertificateDescription::publicKeyAlgorithm() const { return d->publicKeyAlgorithm; }
CertificateDescriptionPtr CertificateDescription::issuerCertificate() const { return d->issuerCertificate; }

void CertificateDescription::setSerialNumber(const QString& value) { d->serialNumber = value; }
void CertificateDescription::setSerialNumberHex(const QString& value) { d->serialNumberHex = value; }
void CertificateDescription::setSubjectName(const QString& value) { d->subjectName = value; }
void CertificateDescription::setIssuerName(const QString& value) { d->issuerName = value; }
void CertificateDescription::setValidFrom(const QDateTime& value) { d->validFrom = value; }
void CertificateDescription::setValidTo(const QDateTime& value) { d->validTo = value; }
void CertificateDescription::setSignatureAlgorithm(const QString& value) { d->signatureAlgorithm = value; }
void CertificateDescription::setPublicKeyAlgorithm(const QString& value) { d->publicKeyAlgorithm = value; }
void CertificateDescription::setIssuerCertificate(const CertificateDescriptionPtr& value)
{
    d->issuerCertificate = value;
}

PublicKeyAlgorithm CertificateDescription::publicKeyAlgorithmType() const
{
    try {
        return publicKeyAlgorithmFromOid(d->publicKeyAlgorithm);
    } catch (const Exception&) {
        return PublicKeyAlgorithm::None;
    }
}

bool CertificateDescription::operator==(const CertificateDescription& other) const
{
    return d->serialNumber == other.d->serialNumber && d->serialNumberHex == other.d->serialNumberHex
        && d->subjectName == other.d->subjectName && d->issuerName == other.d->issuerName
        && d->validFrom == other.d->validFrom && d->validTo == other.d->validTo
        && d->signatureAlgorithm == other.d->signatureAlgorithm && d->publicKeyAlgorithm == other.d->publicKeyAlgorithm;
}

bool CertificateDescription::operator!=(const CertificateDescription& other) const { return !(*this == other); }

} // namespace nxcrypto
