#include "portal/rest_client_impl.h"

#include "crypto_setup/crypto_engine_setup.h"
#include "forwarding/portal_session.h"
#include "forwarding/portal_unavailable.h"
#include "http/file_body.h"
#include "interfaces/app_config.h"
#include "portal/multipart_form_body.h"
#include "portal/rest_error.h"

#include "tessel/exception.h"
#include "tessel/log_record.h"
#include "tessel/uuid_text.h"

#include <Poco/Net/HTTPRequest.h>
#include <Poco/Net/HTTPResponse.h>
#include <Poco/StreamCopier.h>

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QMimeDatabase>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace tessel {
namespace {

QString draftPath(const QUuid& draftId) { return QStringLiteral("documents/drafts/") + uuidToText(draftId); }

QString incomingPath(const QUuid& documentId, const char* what)
{
    return QStringLiteral("documents/incoming/") + uuidToText(documentId) + QLatin1Char('/') + QLatin1String(what);
}

void failIfNotSent(const std::ostream& out)
{
    if (!out.good())
        throw utils::exception(QStringLiteral("Error sending the request to the portal"));
}

// A body cut short by a broken connection must not pass for the whole file.
void checkLength(const Poco::Net::HTTPResponse& response, std::streamsize received, const QString& path)
{
    if (response.hasContentLength() && received != response.getContentLength64())
        throw utils::exception(QStringLiteral("The answer for \"%1\" ended after %2 of %3 bytes")
                                   .arg(path)
                                   .arg(received)
                                   .arg(response.getContentLength64()));
}

} // namespace

QString RestClientImpl::changeTimeText(const QDateTime& changeTime)
{
    return changeTime.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"));
}

RestClientImpl::Session RestClientImpl::openSession()
{
    // Straight to the portal, as the forwarding goes: no call waits for a thread of the proxy's server.
    return std::make_unique<PortalSession>(AppConfig::instance()->isHttps() ? engine()
                                                                             : QSharedPointer<nxcrypto::CryptoEngine>());
}

Poco::Net::HTTPRequest RestClientImpl::makeRequest(const QString& sessionId, const QString& path,
                                                   const std::string& method)
{
    QString target = AppConfig::instance()->restApiPath().path();
    if (!path.startsWith(QLatin1Char('/')))
        target += QLatin1Char('/');
    target += path;
    Poco::Net::HTTPRequest request(method, target.toStdString(), Poco::Net::HTTPMessage::HTTP_1_1);
    request.set("X-Session-Id", sessionId.toStdString());
    return request;
}

RestClientImpl::Session RestClientImpl::openRequest(const QString& sessionId, const QString& path,
                                                    const QJsonValue& body, const std::string& method)
{
    Session session = openSession();
    const bool hasBody = method != Poco::Net::HTTPRequest::HTTP_GET && !body.isNull() && !body.isUndefined();
    const std::string usedMethod =
        !method.empty() ? method : (hasBody ? Poco::Net::HTTPRequest::HTTP_POST : Poco::Net::HTTPRequest::HTTP_GET);
    Poco::Net::HTTPRequest request = makeRequest(sessionId, path, usedMethod);
    QByteArray text;
    if (hasBody) {
        text = body.isObject() ? QJsonDocument(body.toObject()).toJson(QJsonDocument::Indented)
                               : QJsonDocument(body.toArray()).toJson(QJsonDocument::Indented);
        request.setContentType("application/json");
        request.setContentLength64(text.size());
    }
    std::ostream& out = session->sendRequest(request);
    out.write(text.constData(), text.size());
    out.flush();
    failIfNotSent(out);
    return session;
}

void RestClientImpl::simpleCall(const QString& sessionId, const QString& path, const QJsonValue& body,
                                const std::string& method)
{
    Session session = openRequest(sessionId, path, body, method);
    Poco::Net::HTTPResponse response;
    std::istream& answer = session->receiveResponse(response);
    RestError::check(response, answer);
    RestError::checkNotRedirected(response);
}

std::istream& RestClientImpl::sendForm(const Session& session, Poco::Net::HTTPRequest& request,
                                       const MultipartFormBody& form, Poco::Net::HTTPResponse& response)
{
    request.setContentType(form.contentType());
    request.setContentLength64(form.contentLength());
    std::ostream& out = session->sendRequest(request);
    form.write(out);
    out.flush();
    failIfNotSent(out);
    std::istream& answer = session->receiveResponse(response);
    RestError::check(response, answer);
    return answer;
}

QJsonValue RestClientImpl::readJsonAnswer(std::istream& body)
{
    std::ostringstream content;
    Poco::StreamCopier::copyStream(body, content, 8192);
    QByteArray text = QByteArray::fromStdString(content.str());
    const int zero = text.indexOf('\0');
    if (zero >= 0)
        text.truncate(zero);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        throw utils::exception(
            QCoreApplication::translate("RestClient", "Error parsing json from string: %1").arg(error.errorString()));
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

void RestClientImpl::getFile(const QString& sessionId, const QString& path, const QFileInfo& target,
                             const QJsonObject& parameters)
{
    LOG_DEBUG << "Downloading into " << target.filePath();
    Session session = openRequest(sessionId, path, parameters, Poco::Net::HTTPRequest::HTTP_GET);
    Poco::Net::HTTPResponse response;
    std::istream& answer = session->receiveResponse(response);
    RestError::check(response, answer);
    if (response.getStatus() != Poco::Net::HTTPResponse::HTTP_OK)
        throw utils::exception(QCoreApplication::translate("RestClient", "Response does not contains needed data"));
    std::ofstream file(QFile::encodeName(target.filePath()).toStdString(),
                       std::ios::binary | std::ios::out | std::ios::trunc);
    if (!file)
        throw utils::exception(QCoreApplication::translate("RestClient", "Error creating file \"%1\": %2")
                                   .arg(target.filePath(), QString::fromLocal8Bit(std::strerror(errno))));
    const std::streamsize received = Poco::StreamCopier::copyStream64(answer, file, 8192);
    file.close();
    if (session->timedOut())
        throw PortalUnavailable(PortalUnavailable::Cause::TimedOut, session->portalName());
    if (!file)
        throw utils::exception(QCoreApplication::translate("RestClient", "Error writing file \"%1\": %2")
                                   .arg(target.filePath(), QString::fromLocal8Bit(std::strerror(errno))));
    checkLength(response, received, path);
}

void RestClientImpl::sendSigns(const QString& sessionId, const QUuid& draftId, const QFileInfo& envelope,
                               const QVector<QFileInfo>& signs)
{
    LOG_DEBUG << "Sending signed draft";
    MultipartFormBody form;
    form.addFile(envelope.fileName(), envelope, "application/xml");
    for (const QFileInfo& sign : signs)
        form.addFile(sign.fileName(), sign, "application/octet-stream");
    Session session = openSession();
    Poco::Net::HTTPRequest request =
        makeRequest(sessionId, draftPath(draftId) + QStringLiteral("/sign"), Poco::Net::HTTPRequest::HTTP_POST);
    Poco::Net::HTTPResponse response;
    sendForm(session, request, form, response);
    RestError::checkNotRedirected(response);
}

QJsonValue RestClientImpl::putDraft(const QString& sessionId, const QUuid& draftId, const QJsonObject& document)
{
    MultipartFormBody form;
    form.addText(QStringLiteral("document"), QJsonDocument(document).toJson(QJsonDocument::Indented),
                 "application/json; charset=UTF-8");
    int part = 2;
    for (const QFileInfo& file : m_draftAttachments(sessionId, draftId)) {
        form.addFile(QStringLiteral("att%1.data").arg(part++), file,
                     mimeDatabase().mimeTypeForFile(file.filePath(), QMimeDatabase::MatchContent).name().toStdString());
    }
    Session session = openSession();
    Poco::Net::HTTPRequest request = makeRequest(sessionId, draftPath(draftId), Poco::Net::HTTPRequest::HTTP_PUT);
    Poco::Net::HTTPResponse response;
    return readJsonAnswer(sendForm(session, request, form, response));
}

void RestClientImpl::sendDraft(const QString& sessionId, const QUuid& draftId)
{
    simpleCall(sessionId, draftPath(draftId) + QStringLiteral("/send"), QJsonValue(),
               Poco::Net::HTTPRequest::HTTP_POST);
}

void RestClientImpl::deleteDraft(const QString& sessionId, const QUuid& draftId)
{
    simpleCall(sessionId, draftPath(draftId), QJsonValue(), Poco::Net::HTTPRequest::HTTP_DELETE);
}

void RestClientImpl::setSignState(const QString& sessionId, const QUuid& documentId, unsigned stateId,
                                  const QDateTime& changeTime)
{
    const QJsonObject body{{QStringLiteral("changeTime"), changeTimeText(changeTime)},
                           {QStringLiteral("newStateId"), static_cast<qint64>(stateId)}};
    simpleCall(sessionId, incomingPath(documentId, "signState"), body, Poco::Net::HTTPRequest::HTTP_PUT);
}

QJsonObject RestClientImpl::getSignVerificationData(const QString& sessionId, const QUuid& documentId)
{
    Session session = openRequest(sessionId, incomingPath(documentId, "signVerificationData"), QJsonValue(),
                                  Poco::Net::HTTPRequest::HTTP_GET);
    Poco::Net::HTTPResponse response;
    std::istream& answer = session->receiveResponse(response);
    RestError::check(response, answer);
    return readJsonAnswer(answer).toObject();
}

} // namespace tessel
