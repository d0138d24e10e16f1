// CryptoProCSPEngine: verification of detached signatures and of the signer's certificate.

#include "crypto/engine/crypto_pro_csp_engine.h"

#include "crypto/engine/certificate_describer.h"
#include "crypto/engine/crypto_pro_csp_engine_p.h"
#include "crypto/engine/csp_chain_wrappers.h"
#include "crypto/engine/csp_message_wrappers.h"
#include "crypto/engine/csp_store_wrappers.h"
#include "crypto/engine/device_reader.h"

#include <QFile>

namespace nxcrypto {

namespace {

// A signature is small; more than this is no signature of ours.
constexpr qint64 maxSignatureSize = 16 * 1024 * 1024;

const char contentTypeOid[] = "1.2.840.113549.1.9.3";
const char messageDigestOid[] = "1.2.840.113549.1.9.4";
const char signingTimeOid[] = "1.2.840.113549.1.9.5";

CertificateState stateForTrustStatus(quint32 status)
{
    if (status == 0)
        return CertificateState::Valid;
    if (status & 0x10028)
        return CertificateState::PathNotTrusted;
    if (status & 0x1000040)
        return CertificateState::CrlNotFound;
    if (status & 0x10)
        return CertificateState::WrongUsage;
    if (status & 0x4)
        return CertificateState::Revoked;
    if (status & 0x1)
        return CertificateState::TimeInvalid;
    return CertificateState::NotDetermined;
}

} // namespace

std::pair<DataSignInfoPtr, csp::CertContextHandle> CryptoProCSPEnginePrivate::verifyDataSign(QIODevice* data,
                                                                                             QIODevice* signature) const
{
    const DataSignInfoPtr info = DataSignInfoPtr::create();
    csp::CertContextHandle certificate;
    try {
        const csp::MessageHandle message = msgOpenToDecode(true, MessageType::Any);
        const QByteArray signatureBytes = signature->read(maxSignatureSize);
        if (signatureBytes.isEmpty())
            throw Exception(
                QStringLiteral("CryptoProCSPEnginePrivate::verifyDataSign(): Error reading sign data \"%1\"")
                    .arg(signature->errorString()));
        if (!signature->atEnd())
            throw Exception(
                QStringLiteral("CryptoProCSPEnginePrivate::verifyDataSign(): Has more data after sign.readAll()"));
        msgUpdate(message.get(), signatureBytes, true);
        csp::CryptMessage* content = message.get();
        if (!readInChunks(data, [content](const char* bytes, qint64 size) { msgUpdate(content, bytes, size, false); }))
            throw Exception(QStringLiteral("CryptoProCSPEnginePrivate::verifyDataSign(): Error reading data \"%1\"")
                                .arg(data->errorString()));
        msgUpdate(message.get(), QByteArray(), true);

        const quint32 certificates = msgGetCertCount(message.get());
        if (certificates != 1)
            throw Exception(
                QStringLiteral("CryptoProCSPEnginePrivate::verifyDataSign(): Wrong certificate count in message: %1")
                    .arg(certificates));
        certificate = msgGetCert(message.get(), 0);
        info->setCertificate(describeCertificate(certificate.get()));
        info->setSignState(nxcrypto::msgVerifySignature(message.get(), certificate.get()) ? SignState::Valid
                                                                                          : SignState::Invalid);

        const quint32 signers = msgGetSignerInfoCount(message.get());
        if (signers != 1)
            throw Exception(
                QStringLiteral("CryptoProCSPEnginePrivate::verifyDataSign(): Wrong signers count in message: %1")
                    .arg(signers));
        bool hasContentType = false;
        bool hasSigningTime = false;
        bool hasMessageDigest = false;
        for (const csp::MessageAttribute& attribute : msgGetSignerInfo(message.get(), 0).authenticatedAttributes) {
            if (attribute.oid == contentTypeOid) {
                hasContentType = true;
            } else if (attribute.oid == signingTimeOid) {
                info->setSigningTime(attrDecodeTimestamp(attribute));
                hasSigningTime = true;
            } else if (attribute.oid == messageDigestOid) {
                info->setMessageDigest(attrDecodeDigest(attribute));
                hasMessageDigest = true;
            }
        }
        if (!hasContentType)
            throw Exception(
                QStringLiteral("CryptoProCSPEnginePrivate::verifyDataSign(): No signed contentType attribute"));
        if (!hasSigningTime)
            throw Exception(
                QStringLiteral("CryptoProCSPEnginePrivate::verifyDataSign(): No signed signingTime attribute"));
        if (!hasMessageDigest)
            throw Exception(
                QStringLiteral("CryptoProCSPEnginePrivate::verifyDataSign(): No signed messageDigest attribute"));
    } catch (...) {
        info->setException(std::current_exception());
    }
    return {info, std::move(certificate)};
}

void CryptoProCSPEnginePrivate::checkSigner(const csp::CertContext* signer, const QDateTime& checkTime,
                                            SignInfo& info) const
{
    try {
        quint32 flags = csp::kChainRevocationCheckChainExcludeRoot;
        if (checkTime.isValid())
            flags |= csp::kChainTimestampTime;
        const csp::ChainHandle chain = certBuildChainEx(chainEngine.get(), caStore.get(), signer,
                                                        chainParameters(urlRetrieveTimeout), flags, checkTime);
        std::vector<csp::CertContextHandle> certificates;
        for (size_t i = 0; i < csp::chainLength(chain.get()); ++i)
            certificates.emplace_back(csp::duplicateCertificateContext(csp::chainElement(chain.get(), i)));
        const CertificateDescriptionPtr description = describeChain(certificates);
        info.setCertificate(description);
        for (const DataSignInfoPtr& sign : info.signs())
            sign->setCertificate(description);

        quint32 status = csp::chainErrorStatus(chain.get());
        info.setTechInfo(QStringLiteral("errorStatus=%1, TrustStatus.dwErrorStatus=%2, TrustStatus.dwInfoStatus=%3")
                             .arg(status)
                             .arg(status)
                             .arg(csp::chainInfoStatus(chain.get())));
        // A configured CA store decides alone whether the root is trusted.
        if (!(status & csp::kTrustIsPartialChain) && !caStoreName.isNull() && !certificates.empty()) {
            if (certFindExisting(caStore.get(), certificates.back().get()))
                status &= ~csp::kTrustIsUntrustedRoot;
            else
                status |= csp::kTrustIsUntrustedRoot;
        }
        // Only what a missing or unreachable CRL leaves open: an expired, revoked or untrusted
        // signer stays one.
        if (ignoringMissingCrl)
            status &= ~(csp::kTrustRevocationStatusUnknown | csp::kTrustIsOfflineRevocation);
        info.setCertificateState(stateForTrustStatus(status));
    } catch (const Exception& error) {
        info.setCertificateState(CertificateState::PathNotTrusted);
        info.setTechInfo(QStringLiteral("Exception: %1").arg(error.message()));
    }
}

SignInfoPtr CryptoProCSPEngine::verifySign(const QList<QIODevice*>& data, const QList<QIODevice*>& signs,
                                           CertificateCheck check, const QDateTime& checkTime)
{
    d->checkProvider("CryptoProCSPEngine::verifySign(): Provider not initialized.");
    if (data.size() != signs.size())
        throw Exception(
            QStringLiteral("CryptoProCSPEngine::verifySign(): Wrong count of data (%1) and sign (%2) blocks")
                .arg(data.size())
                .arg(signs.size()));
    const QDateTime time = checkTime.isNull() ? QDateTime::currentDateTime() : checkTime;

    DataSignInfoList blocks;
    csp::CertContextHandle signer;
    for (int i = 0; i < data.size(); ++i) {
        auto result = d->verifyDataSign(data[i], signs[i]);
        blocks.append(result.first);
        signer = std::move(result.second);
    }

    const SignInfoPtr info = SignInfoPtr::create();
    info->setCheckTime(time);
    info->setSigns(blocks);

    CertificateDescriptionPtr first;
    CertificateState candidate = CertificateState::Valid;
    bool allValid = true;
    for (const DataSignInfoPtr& block : blocks) {
        if (!block->certificate())
            candidate = CertificateState::NotDetermined;
        else if (first && *block->certificate() != *first)
            candidate = CertificateState::DifferentCertificates;
        else if (!first)
            first = block->certificate();
        allValid = allValid && block->signState() == SignState::Valid;
    }
    info->setGlobalSignState(allValid ? SignState::Valid : SignState::Invalid);

    if (candidate != CertificateState::Valid) {
        info->setCertificate(first);
        info->setCertificateState(candidate);
    } else {
        d->checkSigner(signer.get(), time, *info);
    }
    if (info->certificateState() == CertificateState::Valid)
        info->setCertificateState(check(info->certificate()));
    return info;
}

SignInfoPtr CryptoProCSPEngine::verifySign(QFile* data, QFile* sign, CertificateCheck check, const QDateTime& checkTime)
{
    return verifySign(QList<QIODevice*>{data}, QList<QIODevice*>{sign}, check, checkTime);
}

SignInfoPtr CryptoProCSPEngine::verifySign(const QFileInfo& data, const QFileInfo& sign, CertificateCheck check,
                                           const QDateTime& checkTime)
{
    QFile dataFile(data.filePath());
    if (!dataFile.open(QIODevice::ReadOnly))
        throw Exception(
            QStringLiteral("CryptoProCSPEngine::verifySign(): can't open %1 for reading").arg(data.filePath()));
    QFile signFile(sign.filePath());
    if (!signFile.open(QIODevice::ReadOnly))
        throw Exception(
            QStringLiteral("CryptoProCSPEngine::verifySign(): can't open %1 for reading").arg(sign.filePath()));
    return verifySign(&dataFile, &signFile, check, checkTime);
}

SignInfoPtr CryptoProCSPEngine::verifySign(const QList<QFileInfo>& data, const QList<QFileInfo>& signs,
                                           CertificateCheck check, const QDateTime& checkTime)
{
    QList<QSharedPointer<QFile>> files;
    QList<QIODevice*> dataDevices;
    QList<QIODevice*> signDevices;
    for (const QList<QFileInfo>* list : {&data, &signs}) {
        for (const QFileInfo& path : *list) {
            const auto file = QSharedPointer<QFile>::create(path.filePath());
            if (!file->open(QIODevice::ReadOnly))
                throw Exception(QStringLiteral("SignEngine: Error opening file \"%1\": %2")
                                    .arg(path.filePath(), file->errorString()));
            files.append(file);
            (list == &data ? dataDevices : signDevices).append(file.data());
        }
    }
    return verifySign(dataDevices, signDevices, check, checkTime);
}

} // namespace nxcrypto
