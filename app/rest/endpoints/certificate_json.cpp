#include "rest/endpoints/certificate_json.h"

#include "crypto/records/certificate_description.h"

#include <QDateTime>

namespace tessel::rest {

QJsonObject certificateToJson(const QSharedPointer<nxcrypto::CertificateDescription>& certificate)
{
    QJsonObject json{
        {QStringLiteral("serialNumber"), certificate->serialNumber()},
        {QStringLiteral("serialNumberHex"), certificate->serialNumberHex()},
        {QStringLiteral("subjectName"), certificate->subjectName()},
        {QStringLiteral("issuerName"), certificate->issuerName()},
        {QStringLiteral("validFrom"), certificate->validFrom().toString(Qt::RFC2822Date)},
        {QStringLiteral("validTo"), certificate->validTo().toString(Qt::RFC2822Date)},
    };
    if (const auto issuer = certificate->issuerCertificate())
        json.insert(QStringLiteral("issuerCertificate"), certificateToJson(issuer));
    return json;
}

QSharedPointer<nxcrypto::CertificateDescription> certificateFromJson(const QJsonObject& json)
{
    auto certificate = QSharedPointer<nxcrypto::CertificateDescription>::create();
    certificate->setSerialNumber(json.value(QLatin1String("serialNumber")).toString());
    certificate->setSerialNumberHex(json.value(QLatin1String("serialNumberHex")).toString());
    certificate->setSubjectName(json.value(QLatin1String("subjectName")).toString());
    certificate->setIssuerName(json.value(QLatin1String("issuerName")).toString());
    certificate->setValidFrom(
        QDateTime::fromString(json.value(QLatin1String("validFrom")).toString(), Qt::RFC2822Date));
    certificate->setValidTo(QDateTime::fromString(json.value(QLatin1String("validTo")).toString(), Qt::RFC2822Date));
    const QJsonObject issuer = json.value(QLatin1String("issuerCertificate")).toObject();
    if (!issuer.isEmpty())
        certificate->setIssuerCertificate(certificateFromJson(issuer));
    return certificate;
}

} // namespace tessel::rest
