#pragma once

#include "interfaces/rest_client.h"

#include <QFileInfo>
#include <QJsonValue>
#include <QList>

#include <functional>
#include <memory>
#include <string>

namespace Poco::Net {
class HTTPRequest;
class HTTPResponse;
} // namespace Poco::Net

namespace tessel {

class MultipartFormBody;
class PortalSession;

// Each call opens its own session to the portal, as the forwarding does, and closes it on return.
class RestClientImpl : public RestClient
{
public:
    // The attachment files of a local draft (its parts from 2 on), which the draft upload sends.
    using DraftAttachments = std::function<QList<QFileInfo>(const QString& sessionId, const QUuid& draftId)>;

    explicit RestClientImpl(DraftAttachments draftAttachments) : m_draftAttachments(std::move(draftAttachments)) {}

    void getFile(const QString& sessionId, const QString& path, const QFileInfo& target,
                 const QJsonObject& parameters) override;
    void sendSigns(const QString& sessionId, const QUuid& draftId, const QFileInfo& envelope,
                   const QVector<QFileInfo>& signs) override;
    QJsonValue putDraft(const QString& sessionId, const QUuid& draftId, const QJsonObject& document) override;
    void sendDraft(const QString& sessionId, const QUuid& draftId) override;
    void deleteDraft(const QString& sessionId, const QUuid& draftId) override;
    void setSignState(const QString& sessionId, const QUuid& documentId, unsigned stateId,
                      const QDateTime& changeTime) override;
    QJsonObject getSignVerificationData(const QString& sessionId, const QUuid& documentId) override;

    // changeTime in UTC as the portal reads it: "yyyy-MM-ddTHH:mm:ss.zzzZ".
    static QString changeTimeText(const QDateTime& changeTime);

private:
    using Session = std::unique_ptr<PortalSession>;

    static Session openSession();
    static Poco::Net::HTTPRequest makeRequest(const QString& sessionId, const QString& path, const std::string& method);
    // Sends a request whose body, when there is one, is the JSON text of body; GET never has one.
    static Session openRequest(const QString& sessionId, const QString& path, const QJsonValue& body,
                               const std::string& method);
    // Sends the request and checks the answer, a redirect among the errors; the body is not read.
    static void simpleCall(const QString& sessionId, const QString& path, const QJsonValue& body,
                           const std::string& method);
    // Sends the form with its exact length and checks the answer, which is left to read.
    static std::istream& sendForm(const Session& session, Poco::Net::HTTPRequest& request,
                                  const MultipartFormBody& form, Poco::Net::HTTPResponse& response);
    static QJsonValue readJsonAnswer(std::istream& body);

    const DraftAttachments m_draftAttachments;
};

} // namespace tessel
