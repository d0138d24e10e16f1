#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <string>

namespace NL::Template {
class Node;
class Template;
} // namespace NL::Template

namespace nxcrypto {
class CertificateDescription;
class SignInfo;
} // namespace nxcrypto

namespace tessel::docs {

// Values as the report templates take them: HTML-escaped UTF-8, date-times "dd-MM-yyyy HH:mm:ss" and
// dates "dd-MM-yyyy" as the records hold them; an invalid one is empty.
std::string reportText(const QString& text);
std::string reportDateTime(const QDateTime& time);
std::string reportDate(const QDate& date);

// "ПОДТВЕРЖДЕНА" for a confirmed document, else "НЕ ПОДТВЕРЖДЕНА".
std::string validityText(const nxcrypto::SignInfo& info);

// subjectName, issuerName, validFrom, validTo and serialNumber (decimal) of the certificate panel.
void fillCertificatePanel(NL::Template::Node& panel, const nxcrypto::CertificateDescription& certificate);

QString renderedReport(const NL::Template::Template& report);

} // namespace tessel::docs
