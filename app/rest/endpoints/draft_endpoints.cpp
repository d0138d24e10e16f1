#include "rest/endpoints/draft_endpoints.h"

#include "interfaces/rest_client.h"
#include "rest/conventions/errors.h"
#include "rest/conventions/request_input.h"
#include "rest/conventions/respond.h"
#include "rest/conventions/response_output.h"
#include "rest/endpoints/document_request.h"

#include "interfaces/drafts_storage.h"
#include "process/send_draft.h"
#include "tessel/uuid_text.h"

#include <QJsonArray>
#include <QJsonObject>

namespace tessel::rest {
namespace {

QStringList draftIdTexts(const QJsonValue& uids)
{
    if (uids.isString())
        return QStringList{uids.toString()};
    QStringList texts;
    for (const QJsonValue& uid : uids.toArray())
        texts.append(uid.toString());
    return texts;
}

} // namespace

bool sendDrafts(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const QJsonObject body = parseJsonBody(request).toObject();
        const QStringList ids = draftIdTexts(body.value(QStringLiteral("uids")));
        if (ids.isEmpty())
            throw bad_request();
        const QString password = body.value(QStringLiteral("pwd")).toString();
        const QString sessionId = sessionIdOf(request);
        // Drafts before a bad id stay queued; the answer tells the client the rest was not.
        for (const QString& text : ids) {
            const QUuid id = uuidFromText(text);
            if (id.isNull())
                throw bad_request();
            process::SendDraft::start(sessionId, password, id,
                                      QStringLiteral("Send document # %1").arg(uuidToText(id)));
        }
        sendNoContent(response);
    });
}

bool deleteDraft(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const QUuid id = documentIdOf(request, 0);
        RestClient::instance()->deleteDraft(sessionIdOf(request), id);
        docs::DraftsStorage::instance()->removeDocument(id);
        sendNoContent(response);
    });
}

} // namespace tessel::rest
