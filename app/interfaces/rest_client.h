#pragma once

#include "tessel/singleton.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <QVector>

namespace tessel {

// The proxy's client of the portal's REST API. Calls go as plain HTTP to the proxy's own
// listening address under the REST API path, and the forwarding carries them to the portal.
// Every call sends the session id in "X-Session-Id"; portal answers of 400 and above raise RestError.
class RestClient
{
public:
    virtual ~RestClient() = default;

    // Downloads path (relative to the REST API path) into target. The parameters are not sent.
    virtual void getFile(const QString& sessionId, const QString& path, const QFileInfo& target,
                         const QJsonObject& parameters) = 0;
    // Uploads the envelope and the detached signatures of a draft as one multipart form.
    virtual void sendSigns(const QString& sessionId, const QUuid& draftId, const QFileInfo& envelope,
                           const QVector<QFileInfo>& signs) = 0;
    // Uploads the draft's description with its attachment files (parts 2 and up of the drafts
    // store); gives the portal's answer.
    virtual QJsonValue putDraft(const QString& sessionId, const QUuid& draftId, const QJsonObject& document) = 0;
    virtual void sendDraft(const QString& sessionId, const QUuid& draftId) = 0;
    virtual void deleteDraft(const QString& sessionId, const QUuid& draftId) = 0;
    virtual void setSignState(const QString& sessionId, const QUuid& documentId, unsigned stateId,
                              const QDateTime& changeTime) = 0;
    virtual QJsonObject getSignVerificationData(const QString& sessionId, const QUuid& documentId) = 0;

    static RestClient* instance() { return holder().instance(); }
    // The holder behind instance(): the composition root installs its factory, tests their doubles.
    static Singleton<RestClient>& holder()
    {
        static Singleton<RestClient> object;
        return object;
    }
};

} // namespace tessel
