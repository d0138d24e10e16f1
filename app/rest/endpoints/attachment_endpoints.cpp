#include "rest/endpoints/attachment_endpoints.h"

#include "rest/conventions/errors.h"
#include "rest/conventions/request_input.h"
#include "rest/conventions/respond.h"
#include "rest/conventions/response_output.h"
#include "rest/endpoints/attachment_json.h"
#include "rest/endpoints/document_request.h"

#include <QJsonArray>

namespace tessel::rest {

using docs::Storage;
using docs::fesexchange::AttachmentT;

RouteHandler attachmentList(docs::StorageType kind)
{
    return [kind](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
        return respond(response, [&] {
            const QUuid id = documentIdOf(request, 1);
            Storage& store = *Storage::instance(kind);
            makeComplete(store, sessionIdOf(request), id);
            QJsonArray list;
            for (const AttachmentT& attachment : store.readDocumentTransfer(id).attachments) {
                if (attachment.index != 1)
                    list.append(attachmentJson(attachment));
            }
            sendJson(response, list);
        });
    };
}

RouteHandler attachmentDownload(docs::StorageType kind)
{
    return [kind](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
        return respond(response, [&] {
            const QString path = requestPath(request);
            const QUuid id = documentIdOf(request, 2);
            const QString sessionId = sessionIdOf(request);
            Storage& store = *Storage::instance(kind);
            makeComplete(store, sessionId, id);
            const uint number = pathSegment(path, 0).toUInt();
            if (number < 2)
                throw not_found();
            const AttachmentT* found = nullptr;
            const auto attachments = store.readDocumentTransfer(id).attachments;
            for (const AttachmentT& attachment : attachments) {
                if (attachment.index == number)
                    found = &attachment;
            }
            if (!found)
                throw not_found();
            const QFileInfo file = store.getDocumentPart(sessionId, id, static_cast<int>(number), false).get();
            sendFile(file, response, found->type, false, attachmentDownloadName(*found));
        });
    };
}

} // namespace tessel::rest
