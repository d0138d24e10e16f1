#include "rest/endpoints/document_request.h"

#include "rest/conventions/errors.h"
#include "rest/conventions/request_input.h"

#include "tessel/uuid_text.h"

namespace tessel::rest {

QUuid documentIdOf(const Poco::Net::HTTPServerRequest& request, int k)
{
    const QUuid id = uuidFromText(pathSegment(requestPath(request), k));
    if (id.isNull())
        throw bad_request();
    return id;
}

void makeComplete(docs::Storage& store, const QString& sessionId, const QUuid& documentId)
{
    if (!store.isComplete(documentId))
        store.getDocumentParts(sessionId, documentId).get();
}

} // namespace tessel::rest
