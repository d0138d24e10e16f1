#include "route_table.h"

#include "not_implemented.h"
#include "static_file_handler.h"

#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>

namespace tessel {
namespace {

const QString restPrefix = QStringLiteral("^/local/rest/v1/");

QString idPattern()
{
    return QStringLiteral("%1{8}-%1{4}-%1{4}-%1{4}-%1{12}").arg(QStringLiteral("[0-9a-fA-F]"));
}

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

Route rest(const QString& method, const QString& pattern, RouteHandler handler)
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

    // Endpoints answered by notImplemented arrive with the features they belong to.
    return RouteList{
        route(any, QStringLiteral("^/local/$"), rewriteTo("/local/index.html")),
        route(any, QStringLiteral("^/local$"), redirectTo("/local/")),
        route(any, QStringLiteral("^/?$"), redirectTo("/webclient/")),
        route(any, QStringLiteral("^/webclient/local/.*$"), redirectTo("/local/")),
        rest(get, QStringLiteral("ping$"), notImplemented),
        rest(get, QStringLiteral("version$"), notImplemented),
        rest(any, QStringLiteral("storage"), notImplemented),
        rest(get, QStringLiteral("settings$"), notImplemented),
        rest(post, QStringLiteral("settings$"), notImplemented),
        rest(post, QStringLiteral("crypto/setkp$"), notImplemented),
        rest(get, QStringLiteral("crypto/keys$"), notImplemented),
        rest(post, QStringLiteral("crypto/keys/certificate$"), notImplemented),
        rest(get, QStringLiteral("crypto/certificates$"), notImplemented),
        rest(post, QStringLiteral("crypto/certificates/blob$"), notImplemented),
        rest(post, QStringLiteral("crypto/certificates/add$"), notImplemented),
        rest(post, QStringLiteral("crypto/certificates/chain$"), notImplemented),
        rest(post, QStringLiteral("crypto/certificates/delete$"), notImplemented),
        rest(post, QStringLiteral("drafts/send$"), notImplemented),
        rest(put, QStringLiteral("drafts/") + id + QStringLiteral("$"), notImplemented),
        rest(del, QStringLiteral("drafts/") + id + QStringLiteral("$"), notImplemented),
        rest(get, QStringLiteral("drafts/") + id + QStringLiteral("/attachments/\\d+$"), notImplemented),
        rest(get, QStringLiteral("processes$"), notImplemented),
        rest(get, QStringLiteral("processes/state/") + id + QStringLiteral("$"), notImplemented),
        rest(get, QStringLiteral("processes/state$"), notImplemented),
        rest(post, QStringLiteral("processes/clear$"), notImplemented),
        rest(get, QStringLiteral("inbox/") + id + QStringLiteral("$"), notImplemented),
        rest(get, QStringLiteral("inbox/") + id + QStringLiteral("/sign$"), notImplemented),
        rest(get, QStringLiteral("inbox/") + id + QStringLiteral("/reassure$"), notImplemented),
        rest(get, QStringLiteral("inbox/") + id + QStringLiteral("/viewReport$"), notImplemented),
        rest(get, QStringLiteral("inbox/") + id + QStringLiteral("/attachments$"), notImplemented),
        rest(get, QStringLiteral("inbox/") + id + QStringLiteral("/attachments/\\d+$"), notImplemented),
        rest(get, QStringLiteral("inbox/") + id + QStringLiteral("/attachments/scan/\\d+$"), notImplemented),
        rest(get, QStringLiteral("outbox/") + id + QStringLiteral("/attachments$"), notImplemented),
        rest(get, QStringLiteral("outbox/") + id + QStringLiteral("/attachments/\\d+$"), notImplemented),
        rest(get, QStringLiteral("outbox/") + id + QStringLiteral("/attachments/scan/\\d+$"), notImplemented),
        rest(get, QStringLiteral("outbox/") + id + QStringLiteral("/sign$"), notImplemented),
        rest(post, QStringLiteral("scans$"), notImplemented),
        rest(put, QStringLiteral("scans$"), notImplemented),
        route(any, QStringLiteral("^/local/(.*)?"), StaticFileHandler(QStringLiteral(":/"), QStringLiteral("/local/"))),
    };
}

} // namespace tessel
