#pragma once

// Certificates as CertificateDescription records.

#include "crypto/engine/csp_handle.h"
#include "crypto/records/certificate_description.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

namespace nxcrypto {

CertificateDescriptionPtr describeCertificate(const csp::CertContext* certificate);
// Leaf first; each description's issuerCertificate is the next one. Null for an empty chain.
CertificateDescriptionPtr describeChain(const std::vector<csp::CertContextHandle>& chain);

// X.500 string form of a DER name.
QString nameToText(const std::vector<uint8_t>& derName);
// Hexadecimal text to bytes; raises "hexToBytes: invalid hex string: %1".
QByteArray hexToBytes(const QString& text);

} // namespace nxcrypto
