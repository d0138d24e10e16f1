#include "rest/endpoints/crypto_endpoints.h"

#include "crypto_setup/crypto_engine_setup.h"
#include "crypto_setup/key_unlock.h"
#include "interfaces/temp_storage.h"
#include "rest/conventions/errors.h"
#include "rest/conventions/request_input.h"
#include "rest/conventions/respond.h"
#include "rest/conventions/response_output.h"
#include "rest/endpoints/certificate_json.h"

#include "crypto/engine/crypto_engine.h"
#include "tessel/uuid_text.h"

#include <QFile>
#include <QJsonArray>

namespace tessel::rest {
namespace {

bool isSupportedAlgorithm(const nxcrypto::CertificateDescriptionPtr& certificate)
{
    return certificate->publicKeyAlgorithmType() != nxcrypto::PublicKeyAlgorithm::None;
}

// No certificate file is larger; a larger one is read whole for nothing.
constexpr qint64 maxCertificateFileSize = 1 << 20;

// The bytes of an uploaded certificate file, by its temporary id.
QByteArray uploadedFile(const QString& idText)
{
    const TempEntryPtr entry = TempStorage::instance()->get(uuidFromText(idText));
    if (!entry->file.isFile())
        throw not_found();
    if (entry->file.size() > maxCertificateFileSize)
        throw bad_request(QStringLiteral("Certificate file is larger than %1 bytes").arg(maxCertificateFileSize));
    QFile file(entry->file.filePath());
    if (!file.open(QIODevice::ReadOnly))
        throw utils::exception(
            QStringLiteral("Error reading file \"%1\": %2").arg(file.fileName(), file.errorString()));
    return file.readAll();
}

// The blob's certificate as the preview shows it; what the proxy cannot use is a bad request.
nxcrypto::CertificateDescriptionPtr supportedCertificate(const QByteArray& blob)
{
    nxcrypto::CertificateDescriptionPtr certificate;
    try {
        certificate = engine()->getCertificateDescriptionFromBlob(blob);
    } catch (const nxcrypto::BlobTooLarge& e) {
        throw bad_request(QString::fromUtf8(e.what()));
    }
    if (!isSupportedAlgorithm(certificate))
        throw bad_request(QStringLiteral("Unknown public key algorithm"));
    return certificate;
}

QJsonArray usableCertificates(nxcrypto::CryptoEngine& crypto, bool ca)
{
    QJsonArray list;
    for (const auto& certificate : crypto.getCertificates(ca)) {
        if (isSupportedAlgorithm(certificate))
            list.append(certificateToJson(certificate));
    }
    return list;
}

} // namespace

bool setKeyPassword(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const QString password = readBodyText(request);
        try {
            unlockKey(*engine(), password);
        } catch (const nxcrypto::WrongPassword& e) {
            throw forbidden(QString::fromUtf8(e.what()));
        }
        sendNoContent(response);
    });
}

bool listKeys(Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        QJsonArray keys;
        for (const QString& name : engine()->getKeys(nxcrypto::KeyStorageType::HD))
            keys.append(QJsonObject{{QStringLiteral("id"), name}, {QStringLiteral("name"), name}});
        sendJson(response, keys);
    });
}

bool keyCertificate(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const QString keyName = parseJsonBody(request).toString();
        sendJson(response, certificateToJson(engine()->getKeyCertificate(nxcrypto::KeyStorageType::HD, keyName)));
    });
}

bool listCertificates(Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const auto crypto = engine();
        if (!crypto->isInitialized()) {
            sendJson(response,
                     QJsonObject{{QStringLiteral("reg"), QJsonArray()}, {QStringLiteral("ca"), QJsonArray()}});
            return;
        }
        const QJsonArray reg = usableCertificates(*crypto, false);
        const QJsonArray ca = usableCertificates(*crypto, true);
        sendJson(response, QJsonObject{{QStringLiteral("reg"), reg}, {QStringLiteral("ca"), ca}});
    });
}

bool certificateFromBlob(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        sendJson(response, certificateToJson(supportedCertificate(uploadedFile(readBodyText(request)))));
    });
}

bool addCertificate(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const QJsonObject body = parseJsonBody(request).toObject();
        const QByteArray blob = uploadedFile(body.value(QLatin1String("id")).toString());
        // Trusted is only what the preview shows: a certificate the list would leave out is refused.
        supportedCertificate(blob);
        engine()->addCertificateFromBlob(body.value(QLatin1String("ca")).toBool(), blob);
        sendNoContent(response);
    });
}

bool certificateChain(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const QJsonObject body = parseJsonBody(request).toObject();
        const auto wanted = certificateFromJson(body.value(QLatin1String("cert")).toObject());
        const auto found = engine()->getCertificate(body.value(QLatin1String("ca")).toBool(), wanted);
        if (!found)
            throw not_found();
        sendJson(response, certificateToJson(found));
    });
}

bool deleteCertificate(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const QJsonObject body = parseJsonBody(request).toObject();
        const bool ca = body.value(QLatin1String("ca")).toBool();
        const auto certificate = certificateFromJson(body.value(QLatin1String("cert")).toObject());
        if (!engine()->deleteCertificate(ca, certificate))
            throw not_found();
        sendNoContent(response);
    });
}

} // namespace tessel::rest
