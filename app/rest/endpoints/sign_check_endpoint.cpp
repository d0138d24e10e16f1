#include "rest/endpoints/sign_check_endpoint.h"

#include "rest/conventions/request_input.h"
#include "rest/conventions/respond.h"
#include "rest/conventions/response_output.h"
#include "rest/endpoints/document_request.h"
#include "rest/endpoints/stored_document_check.h"

#include "docs/reports/sign_confirmation.h"
#include "interfaces/rest_client.h"
#include "interfaces/sign_engine.h"
#include "tessel/log_record.h"
#include "tessel/uuid_text.h"

namespace tessel::rest {
namespace {

// The user asked to see the check, not to report it: a portal that refuses the news must not cost the report.
void reportConfirmed(const QString& sessionId, const QUuid& documentId)
{
    try {
        RestClient::instance()->setSignState(sessionId, documentId, 1, QDateTime::currentDateTime());
    } catch (const std::exception&) {
        LOG_INFO << QStringLiteral("Error while updating sign state for document %1").arg(uuidToText(documentId));
    }
}

} // namespace

RouteHandler showSign(docs::StorageType kind)
{
    return [kind](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
        return respond(response, [&] {
            parseJsonBody(request);
            const QUuid id = documentIdOf(request, 1);
            const QString sessionId = sessionIdOf(request);
            const nxcrypto::SignInfoPtr info = checkStoredDocument(kind, sessionId, id, QDateTime());
            if (kind == docs::StorageType::Inbox && docs::isConfirmed(*info))
                reportConfirmed(sessionId, id);
            sendHtml(response, docs::SignEngine::instance()->report(info));
        });
    };
}

} // namespace tessel::rest
