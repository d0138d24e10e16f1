#include "forwarding/proxy_request_handler.h"

#include "crypto_setup/crypto_engine_setup.h"
#include "forwarding/portal_session.h"
#include "forwarding/portal_unavailable.h"
#include "forwarding/portal_unavailable_answer.h"
#include "interfaces/app_config.h"

#include "http/chunked_writer.h"

#include "crypto/errors/exception.h"
#include "tessel/exception.h"
#include "tessel/log_record.h"

#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>
#include <Poco/StreamCopier.h>
#include <Poco/String.h>

#include <QCoreApplication>

#include <vector>

namespace tessel {
namespace {

constexpr std::size_t copyBlockSize = 8192;

// Copies a body in blocks; a body that ends before its announced length is an error, so that
// the browser's connection is closed instead of the answer being taken as complete.
void copyBody(std::istream& in, std::ostream& out, qint64 announcedLength)
{
    const qint64 copied = static_cast<qint64>(Poco::StreamCopier::copyStream64(in, out, copyBlockSize));
    out.flush();
    if (in.bad()) // the stream swallowed its error
        throw utils::exception(QStringLiteral("Reading the body failed after %1 bytes").arg(copied));
    if (!out)
        throw utils::exception(QStringLiteral("The receiving side stopped taking the body after %1 bytes").arg(copied));
    if (announcedLength >= 0 && copied < announcedLength)
        throw utils::exception(
            QStringLiteral("The body ended after %1 of its %2 bytes").arg(copied).arg(announcedLength));
}

// Writes the body as chunks of up to one copy block each, then the last chunk.
void copyChunked(std::istream& in, std::ostream& out)
{
    http::ChunkedWriter writer(out);
    char block[copyBlockSize];
    for (;;) {
        in.read(block, sizeof block);
        const std::streamsize count = in.gcount();
        if (count <= 0)
            break;
        writer.writeChunk(block, std::size_t(count));
    }
    // A body cut short must not reach the portal as whole: no last chunk then.
    if (in.bad())
        throw utils::exception(QStringLiteral("Reading the request body failed"));
    writer.finish();
    if (!out)
        throw utils::exception(QStringLiteral("The portal stopped taking the request body"));
}

qint64 announcedLength(const Poco::Net::HTTPMessage& message)
{
    return message.getChunkedTransferEncoding() ? -1 : message.getContentLength64();
}

// The browser's body arrives de-chunked; to a portal told "chunked" it goes as chunks again.
void sendRequestBody(Poco::Net::HTTPServerRequest& request, std::ostream& out)
{
    if (!ProxyRequestHandler::hasBody(request))
        return;
    if (request.getChunkedTransferEncoding())
        copyChunked(request.stream(), out);
    else
        copyBody(request.stream(), out, announcedLength(request));
}

void sendAnswer(Poco::Net::HTTPServerResponse& response, std::istream& body)
{
    ProxyRequestHandler::rewriteResponse(response);
    std::ostream& out = response.send();
    copyBody(body, out, announcedLength(response));
}

} // namespace

void ProxyRequestHandler::handleRequest(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    const std::string received = request.getURI();
    try {
        PortalSession portal(AppConfig::instance()->isHttps() ? engine() : QSharedPointer<nxcrypto::CryptoEngine>());
        sendRequestBody(request, portal.sendRequest(request));
        std::istream& body = portal.receiveResponse(response);
        sendAnswer(response, body);
    } catch (const PortalUnavailable& e) {
        LOG_WARN << QStringLiteral("%1 %2: %3").arg(QString::fromStdString(request.getMethod()),
                                                   QString::fromStdString(received), QString::fromUtf8(e.what()));
        if (!response.sent())
            answerPortalUnavailable(request, response, e);
    }
}

void ProxyRequestHandler::rewriteResponse(Poco::Net::HTTPResponse& response)
{
    // No other site may be let read an answer: the proxy sends no CORS permission, nor the portal's.
    std::vector<std::string> permissions;
    for (const auto& [name, value] : response) {
        if (Poco::icompare(name.substr(0, 15), "Access-Control-") == 0)
            permissions.push_back(name);
    }
    for (const std::string& name : permissions)
        response.erase(name);
    if (!response.has("Location"))
        return;
    const AppConfig* config = AppConfig::instance();
    const QUrl location(QString::fromStdString(response.get("Location")), QUrl::TolerantMode);
    const QUrl rewritten = rewriteLocation(location, config->appUrl(), config->listenUrl());
    // A location left alone keeps the exact text the portal sent; a space is no URL character.
    if (rewritten != location)
        response.set("Location", rewritten.toString(QUrl::EncodeSpaces).toStdString());
}

QUrl ProxyRequestHandler::rewriteLocation(const QUrl& location, const QUrl& portalUrl, const QUrl& listenUrl)
{
    QString portalPath = portalUrl.path(QUrl::FullyDecoded);
    if (!portalPath.endsWith(QLatin1Char('/')))
        portalPath += QLatin1Char('/');
    const bool relative = location.scheme().isEmpty() && location.authority().isEmpty();
    const bool samePortal = location.scheme() == portalUrl.scheme() && location.authority() == portalUrl.authority();
    if (!(relative || samePortal) || !location.path().startsWith(portalPath))
        return location;
    QUrl result = location;
    if (!location.scheme().isEmpty())
        result.setScheme(listenUrl.scheme());
    if (!location.authority().isEmpty())
        result.setAuthority(listenUrl.authority());
    result.setPath(location.path().mid(portalPath.size() - 1));
    return result;
}

bool ProxyRequestHandler::hasBody(const Poco::Net::HTTPRequest& request)
{
    // Without a length or chunks a request has no body; waiting for one would wait for the browser to close.
    return request.hasContentLength() || request.getChunkedTransferEncoding();
}

} // namespace tessel
