#include "rest/endpoints/draft_editing_endpoints.h"

#include "rest/conventions/errors.h"
#include "rest/conventions/request_input.h"
#include "rest/conventions/respond.h"
#include "rest/conventions/response_output.h"
#include "rest/endpoints/document_request.h"

#include "process/draft_update.h"

#include <QJsonObject>

namespace tessel::rest {

bool saveDraft(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const QUuid id = documentIdOf(request, 0);
        QJsonObject draft = parseJsonBody(request).toObject();
        const QJsonValue commits = draft.take(QStringLiteral("attachments"));
        if (!commits.isArray())
            throw bad_request();
        sendJson(response, process::updateDraft(sessionIdOf(request), id, draft, commits.toArray()));
    });
}

} // namespace tessel::rest
