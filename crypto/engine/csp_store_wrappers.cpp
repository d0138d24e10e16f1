#include "crypto/engine/csp_store_wrappers.h"

#include "crypto/engine/csp_message_wrappers.h"
#include "crypto/errors/exception.h"
#include "crypto/errors/system_error_text.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"

namespace nxcrypto {

namespace {

QString errorText(const char* message) { return QString::fromLatin1(message).arg(lastErrorText()); }

} // namespace

csp::StoreHandle certOpenSystemStore(const QString& name)
{
    csp::CertStore* store = csp::openSystemStore(name.toLocal8Bit().toStdString());
    if (!store)
        throw Exception(QStringLiteral("certOpenSystemStore(%1): Error %2").arg(name, lastErrorText()));
    return csp::StoreHandle(store);
}

csp::StoreHandle certCreateTempStore()
{
    csp::CertStore* store = csp::openMemoryStore();
    if (!store)
        throw Exception(errorText("certCreateTempStore(): Error %1"));
    return csp::StoreHandle(store);
}

csp::StoreHandle certCreateStoreCollection()
{
    csp::CertStore* store = csp::openCollectionStore();
    if (!store)
        throw Exception(errorText("certCreateStoreCollection(): Error %1"));
    return csp::StoreHandle(store);
}

void certPushStoreToCollection(csp::CertStore* collection, csp::CertStore* store)
{
    if (!collection)
        throw Exception(QStringLiteral("certPushStoreToCollection(): invalid collection handler"));
    if (!store)
        throw Exception(QStringLiteral("certPushStoreToCollection(): invalid certificate store handler"));
    if (!csp::addStoreToCollection(collection, store))
        throw Exception(errorText("certPushStoreToCollection(): Error %1"));
}

void certAddToStore(csp::CertStore* store, const csp::CertContext* certificate)
{
    if (!csp::addCertificateToStore(store, certificate, csp::kStoreAddReplaceExisting))
        throw Exception(errorText("certAddToStore(): Error %1"));
}

csp::CertContextHandle certFromBlob(const std::vector<uint8_t>& bytes)
{
    csp::CertContext* certificate = csp::createCertificateContext(bytes.data(), bytes.size());
    if (!certificate)
        throw Exception(errorText("certFromBlob(): Error %1"));
    return csp::CertContextHandle(certificate);
}

csp::CertContextHandle certFromBlob(const QByteArray& bytes)
{
    return certFromBlob(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

csp::CertContextHandle certFindById(csp::CertStore* store, const std::vector<uint8_t>& issuerName,
                                    const std::vector<uint8_t>& serialNumber)
{
    csp::CertFindCriteria criteria;
    criteria.type = csp::kFindCertIdIssuerSerial;
    criteria.issuerName = issuerName;
    criteria.serialNumber = serialNumber;
    csp::CertContext* found = csp::findCertificateInStore(store, criteria, nullptr);
    if (!found && csp::getLastError() != csp::err::kCryptENotFound)
        throw Exception(errorText("certFindById(): Error %1"));
    return csp::CertContextHandle(found);
}

csp::CertContextHandle certFindExisting(csp::CertStore* store, const csp::CertContext* certificate)
{
    csp::CertFindCriteria criteria;
    criteria.type = csp::kFindExisting;
    criteria.existing = certificate;
    csp::CertContext* found = csp::findCertificateInStore(store, criteria, nullptr);
    if (!found && csp::getLastError() != csp::err::kCryptENotFound)
        throw Exception(errorText("certFindExisting(): Error %1"));
    return csp::CertContextHandle(found);
}

csp::CertContextHandle certEnumCertificatesInStore(csp::CertStore* store, csp::CertContextHandle previous)
{
    csp::CertContext* next = csp::enumCertificatesInStore(store, previous.release());
    if (!next && csp::getLastError() != csp::err::kCryptENotFound)
        throw Exception(errorText("certEnumCertificatesInStore(): Error %1"));
    return csp::CertContextHandle(next);
}

void certDeleteFromStore(const csp::CertContext* certificate)
{
    if (!csp::deleteCertificateFromStore(csp::duplicateCertificateContext(certificate)))
        throw Exception(errorText("certDeleteFromStore(): Error %1"));
}

csp::StoreHandle openBlobStore(const QByteArray& blob)
{
    csp::StoreHandle temporary = certCreateTempStore();
    csp::MessageHandle message = msgOpenToDecode(true, MessageType::Any);
    msgUpdate(message.get(), blob, true);
    const quint32 count = msgGetCertCount(message.get());
    // Thousands of certificates cost seconds of chain building each time; no chain is that long.
    if (count > maxBlobCertificates)
        throw BlobTooLarge(QStringLiteral("openBlobStore(): The blob holds %1 certificates, more than %2")
                               .arg(count)
                               .arg(maxBlobCertificates));
    for (quint32 i = 0; i < count; ++i) {
        const csp::CertContextHandle certificate = msgGetCert(message.get(), i);
        certAddToStore(temporary.get(), certificate.get());
    }
    return temporary;
}

int certificateCount(csp::CertStore* store)
{
    int count = 0;
    for (csp::CertContextHandle certificate = certEnumCertificatesInStore(store, csp::CertContextHandle()); certificate;
         certificate = certEnumCertificatesInStore(store, std::move(certificate)))
        ++count;
    return count;
}

} // namespace nxcrypto
