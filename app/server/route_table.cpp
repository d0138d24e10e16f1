#include "server/route_table.h"

#include "rest/endpoints/attachment_endpoints.h"
#include "rest/endpoints/crypto_endpoints.h"
#include "rest/endpoints/document_copy_endpoint.h"
#include "rest/endpoints/draft_editing_endpoints.h"
#include "rest/endpoints/draft_endpoints.h"
#include "rest/endpoints/inbox_endpoints.h"
#include "rest/endpoints/key_import_endpoint.h"
#include "rest/endpoints/process_endpoints.h"
#include "rest/endpoints/scan_endpoints.h"
#include "rest/endpoints/service_endpoints.h"
#include "rest/endpoints/sign_check_endpoint.h"
#include "rest/endpoints/temp_storage_endpoints.h"
#include "server/static_file_handler.h"

#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>

namespace tessel {
namespace {

const QString restPrefix = QStringLiteral("^/local/rest/v1/");

QString idPattern() { return QStringLiteral("%1{8}-%1{4}-%1{4}-%1{4}-%1{12}").arg(QStringLiteral("[0-9a-fA-F]")); }

RouteHandler rewriteTo(const std::string& target)
{
    return [target](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse&) {
        request.setURI(target);
        return false;
    };
}

RouteHandler redirectTo(const std::string& location)
{
    return [location](Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response) {
        response.redirect(location, Poco::Net::HTTPResponse::HTTP_FOUND);
        return true;
    };
}

Route route(const QString& method, const QString& pattern, RouteHandler handler)
{
    return Route{QRegularExpression(pattern), method, std::move(handler)};
}

Route restRoute(const QString& method, const QString& pattern, RouteHandler handler)
{
    return route(method, restPrefix + pattern, std::move(handler));
}

} // namespace

RouteList buildRouteTable()
{
    const QString any;
    const QString get = QStringLiteral("GET");
    const QString post = QStringLiteral("POST");
    const QString put = QStringLiteral("PUT");
    const QString del = QStringLiteral("DELETE");
    const QString id = idPattern();

    return RouteList{
        route(any, QStringLiteral("^/local/$"), rewriteTo("/local/index.html")),
        route(any, QStringLiteral("^/local$"), redirectTo("/local/")),
        route(any, QStringLiteral("^/?$"), redirectTo("/webclient/")),
        route(any, QStringLiteral("^/webclient/local/.*$"), redirectTo("/local/")),
        restRoute(get, QStringLiteral("ping$"), rest::ping),
        restRoute(get, QStringLiteral("version$"), rest::version),
        restRoute(any, QStringLiteral("storage"), rest::tempStorageRequest),
        restRoute(get, QStringLiteral("settings$"), rest::getSettings),
        restRoute(post, QStringLiteral("settings$"), rest::saveSettings),
        restRoute(post, QStringLiteral("crypto/setkp$"), rest::setKeyPassword),
        restRoute(get, QStringLiteral("crypto/keys$"), rest::listKeys),
        restRoute(post, QStringLiteral("crypto/keys/certificate$"), rest::keyCertificate),
        restRoute(post, QStringLiteral("crypto/keys/import$"), rest::importKey),
        restRoute(get, QStringLiteral("crypto/certificates$"), rest::listCertificates),
        restRoute(post, QStringLiteral("crypto/certificates/blob$"), rest::certificateFromBlob),
        restRoute(post, QStringLiteral("crypto/certificates/add$"), rest::addCertificate),
        restRoute(post, QStringLiteral("crypto/certificates/chain$"), rest::certificateChain),
        restRoute(post, QStringLiteral("crypto/certificates/delete$"), rest::deleteCertificate),
        restRoute(post, QStringLiteral("drafts/send$"), rest::sendDrafts),
        restRoute(put, QStringLiteral("drafts/") + id + QStringLiteral("$"), rest::saveDraft),
        restRoute(del, QStringLiteral("drafts/") + id + QStringLiteral("$"), rest::deleteDraft),
        restRoute(get, QStringLiteral("drafts/") + id + QStringLiteral("/attachments/\\d+$"),
                  rest::attachmentDownload(docs::StorageType::Drafts)),
        restRoute(get, QStringLiteral("processes$"), rest::listProcesses),
        restRoute(get, QStringLiteral("processes/state/") + id + QStringLiteral("$"), rest::processState),
        restRoute(get, QStringLiteral("processes/state$"), rest::overallProcessState),
        restRoute(post, QStringLiteral("processes/clear$"), rest::clearProcesses),
        restRoute(get, QStringLiteral("inbox/") + id + QStringLiteral("$"), rest::receiveDocument),
        restRoute(get, QStringLiteral("inbox/") + id + QStringLiteral("/sign$"),
                  rest::showSign(docs::StorageType::Inbox)),
        restRoute(get, QStringLiteral("inbox/") + id + QStringLiteral("/reassure$"), rest::showDocumentCopy),
        restRoute(get, QStringLiteral("inbox/") + id + QStringLiteral("/viewReport$"), rest::viewReport),
        restRoute(get, QStringLiteral("inbox/") + id + QStringLiteral("/attachments$"),
                  rest::attachmentList(docs::StorageType::Inbox)),
        restRoute(get, QStringLiteral("inbox/") + id + QStringLiteral("/attachments/\\d+$"),
                  rest::attachmentDownload(docs::StorageType::Inbox)),
        restRoute(get, QStringLiteral("inbox/") + id + QStringLiteral("/attachments/scan/\\d+$"),
                  rest::scanPages(docs::StorageType::Inbox)),
        restRoute(get, QStringLiteral("outbox/") + id + QStringLiteral("/attachments$"),
                  rest::attachmentList(docs::StorageType::Outbox)),
        restRoute(get, QStringLiteral("outbox/") + id + QStringLiteral("/attachments/\\d+$"),
                  rest::attachmentDownload(docs::StorageType::Outbox)),
        restRoute(get, QStringLiteral("outbox/") + id + QStringLiteral("/attachments/scan/\\d+$"),
                  rest::scanPages(docs::StorageType::Outbox)),
        restRoute(get, QStringLiteral("outbox/") + id + QStringLiteral("/sign$"),
                  rest::showSign(docs::StorageType::Outbox)),
        restRoute(post, QStringLiteral("scans$"), rest::openDraftScan),
        restRoute(put, QStringLiteral("scans$"), rest::saveDraftScan),
        route(any, QStringLiteral("^/local/(.*)?"), StaticFileHandler(QStringLiteral(":/"), QStringLiteral("/local/"))),
    };
}

} // namespace tessel
