#include "docs/reports/report_fill.h"

#include "docs/reports/sign_confirmation.h"

#include "crypto/records/certificate_description.h"
#include "crypto/records/sign_info.h"
#include "template/template.h"

#include <QCoreApplication>

#include <sstream>

namespace tessel::docs {

std::string reportText(const QString& text)
{
    // Names and numbers come from certificates and the portal: markup in them must stay text.
    return text.toHtmlEscaped().toUtf8().toStdString();
}

std::string reportDateTime(const QDateTime& time)
{
    return reportText(time.toString(QStringLiteral("dd-MM-yyyy HH:mm:ss")));
}

std::string reportDate(const QDate& date) { return reportText(date.toString(QStringLiteral("dd-MM-yyyy"))); }

std::string validityText(const nxcrypto::SignInfo& info)
{
    return reportText(isConfirmed(info) ? QCoreApplication::translate("Reports", "ПОДТВЕРЖДЕНА")
                                        : QCoreApplication::translate("Reports", "НЕ ПОДТВЕРЖДЕНА"));
}

void fillCertificatePanel(NL::Template::Node& panel, const nxcrypto::CertificateDescription& certificate)
{
    panel.set("subjectName", reportText(certificate.subjectName()));
    panel.set("issuerName", reportText(certificate.issuerName()));
    panel.set("validFrom", reportDateTime(certificate.validFrom()));
    panel.set("validTo", reportDateTime(certificate.validTo()));
    panel.set("serialNumber", reportText(certificate.serialNumber()));
}

QString renderedReport(const NL::Template::Template& report)
{
    std::ostringstream out;
    report.render(out);
    const std::string html = out.str();
    return QString::fromUtf8(html.data(), static_cast<int>(html.size()));
}

} // namespace tessel::docs
