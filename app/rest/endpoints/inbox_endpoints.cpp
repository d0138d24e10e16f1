#include "rest/endpoints/inbox_endpoints.h"

#include "rest/conventions/errors.h"
#include "rest/conventions/request_input.h"
#include "rest/conventions/respond.h"
#include "rest/conventions/response_output.h"
#include "rest/endpoints/document_request.h"

#include "process/receive_response_process.h"
#include "tessel/uuid_text.h"

namespace tessel::rest {

using docs::Storage;
using docs::StorageType;

bool receiveDocument(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        parseJsonBody(request);
        const QUuid id = documentIdOf(request, 0);
        const QUuid processId =
            process::ReceiveResponseProcess::start(sessionIdOf(request), id,
                                                   QStringLiteral("Receive document # %1").arg(uuidToText(id)));
        sendJson(response, uuidToText(processId));
    });
}

bool viewReport(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const QUuid id = documentIdOf(request, 1);
        const QString sessionId = sessionIdOf(request);
        Storage& inbox = *Storage::instance(StorageType::Inbox);
        makeComplete(inbox, sessionId, id);
        const QFileInfo report = inbox.getDocumentPart(sessionId, id, 2, !inbox.isComplete(id)).get();
        if (!report.exists())
            throw not_found();
        const auto attachments = inbox.readDocumentTransfer(id).attachments;
        // The report's type is that of the second attachment record; without one there is nothing to answer with.
        if (attachments.size() < 2)
            throw not_found();
        sendFile(report, response, attachments.at(1).type, false, QStringLiteral("report.docx"));
    });
}

} // namespace tessel::rest
