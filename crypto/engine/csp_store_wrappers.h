#pragma once

// The engine's wrappers over the store and certificate calls of the layer.

#include "crypto/engine/csp_handle.h"

#include <QByteArray>
#include <QString>

namespace nxcrypto {

csp::StoreHandle certOpenSystemStore(const QString& name);
csp::StoreHandle certCreateTempStore();
csp::StoreHandle certCreateStoreCollection();
void certPushStoreToCollection(csp::CertStore* collection, csp::CertStore* store);
void certAddToStore(csp::CertStore* store, const csp::CertContext* certificate);
csp::CertContextHandle certFromBlob(const QByteArray& bytes);
csp::CertContextHandle certFromBlob(const std::vector<uint8_t>& bytes);
// By issuer (DER name) and serial (most significant byte first); empty when not found.
csp::CertContextHandle certFindById(csp::CertStore* store, const std::vector<uint8_t>& issuerName,
                                    const std::vector<uint8_t>& serialNumber);
// The same certificate in the store; empty when not found.
csp::CertContextHandle certFindExisting(csp::CertStore* store, const csp::CertContext* certificate);
// Enumeration: the certificate after previous (which is released); empty at the end.
csp::CertContextHandle certEnumCertificatesInStore(csp::CertStore* store, csp::CertContextHandle previous);
void certDeleteFromStore(const csp::CertContext* certificate);

// A temporary store with the certificates of a PKCS#7 / CMS blob; BlobTooLarge beyond
// maxBlobCertificates.
constexpr quint32 maxBlobCertificates = 100;
csp::StoreHandle openBlobStore(const QByteArray& blob);
int certificateCount(csp::CertStore* store);

} // namespace nxcrypto
