#include "rest/endpoints/document_copy_endpoint.h"

#include "rest/conventions/request_input.h"
#include "rest/conventions/respond.h"
#include "rest/conventions/response_output.h"
#include "rest/endpoints/document_request.h"
#include "rest/endpoints/sign_verification_data.h"
#include "rest/endpoints/stored_document_check.h"

#include "docs/reports/document_copy_report.h"
#include "interfaces/rest_client.h"

namespace tessel::rest {

bool showDocumentCopy(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        parseJsonBody(request);
        const QUuid id = documentIdOf(request, 1);
        const QString sessionId = sessionIdOf(request);
        const SignVerificationData data(RestClient::instance()->getSignVerificationData(sessionId, id));
        docs::DocumentCopyData copy = data.documentCopyData();
        if (data.asksForSignCheck())
            copy.signInfo = checkStoredDocument(docs::StorageType::Inbox, sessionId, id, data.signCheckTime());
        sendHtml(response, docs::documentCopyReport(copy));
    });
}

} // namespace tessel::rest
