#pragma once

#include <QJsonObject>
#include <QSharedPointer>

namespace nxcrypto {
class CertificateDescription;
}

namespace tessel::rest {

// A certificate as the web client sees it; the chain nests in "issuerCertificate".
QJsonObject certificateToJson(const QSharedPointer<nxcrypto::CertificateDescription>& certificate);

// The reverse, so that an object from this API can be sent back unchanged.
QSharedPointer<nxcrypto::CertificateDescription> certificateFromJson(const QJsonObject& json);

} // namespace tessel::rest
