#include "crypto/engine/certificate_describer.h"

#include "crypto/errors/exception.h"
#include "crypto/errors/system_error_text.h"
#include "crypto/platform/hex_text.h"
#include "crypto/platform/x500_name.h"

#include <boost/multiprecision/cpp_int.hpp>

namespace nxcrypto {

namespace {

QString decimalText(const std::vector<uint8_t>& bigEndian)
{
    boost::multiprecision::cpp_int value;
    if (!bigEndian.empty())
        boost::multiprecision::import_bits(value, bigEndian.begin(), bigEndian.end(), 8, true);
    return QString::fromStdString(value.str());
}

QDateTime localTime(int64_t unixSeconds)
{
    const QDateTime time = QDateTime::fromSecsSinceEpoch(unixSeconds, Qt::UTC);
    if (!time.isValid())
        throw Exception(
            QStringLiteral("crypto_cast<QDateTime>(const FILETIME& ft): Error %1").arg(systemErrorText(0x80070057)));
    return time.toLocalTime();
}

} // namespace

QString nameToText(const std::vector<uint8_t>& derName)
{
    std::string text;
    csp::nameToString(derName, &text);
    return QString::fromStdString(text);
}

CertificateDescriptionPtr describeCertificate(const csp::CertContext* certificate)
{
    const std::vector<uint8_t> serial = csp::certSerialNumber(certificate);
    return CertificateDescriptionPtr::create(decimalText(serial),
                                             QString::fromStdString(csp::hexText(serial.data(), serial.size(), true)),
                                             nameToText(csp::certSubjectName(certificate)),
                                             nameToText(csp::certIssuerName(certificate)),
                                             localTime(csp::certNotBefore(certificate)),
                                             localTime(csp::certNotAfter(certificate)),
                                             QString::fromStdString(csp::certSignatureAlgorithm(certificate)),
                                             QString::fromStdString(csp::certPublicKeyAlgorithm(certificate)));
}

CertificateDescriptionPtr describeChain(const std::vector<csp::CertContextHandle>& chain)
{
    CertificateDescriptionPtr issuer;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        CertificateDescriptionPtr description = describeCertificate(it->get());
        description->setIssuerCertificate(issuer);
        issuer = description;
    }
    return issuer;
}

QByteArray hexToBytes(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0x7F || csp::hexDigitValue(static_cast<char>(c.unicode())) < 0)
            throw Exception(QStringLiteral("hexToBytes: invalid hex string: %1").arg(text));
    return QByteArray::fromHex(text.toLatin1());
}

} // namespace nxcrypto
