#include "http_connection.h"

#include "diagnostics.h"
#include "http_error.h"
#include "tls_stream_buffer.h"

#include <Poco/Net/NetException.h>
#include <Poco/String.h>

#include <optional>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

// A body a handler left unread is skipped up to this size to keep the connection; beyond
// it closing is cheaper.
constexpr std::uint64_t kSkippableRest = 1024 * 1024;

bool expectsContinue(const Poco::Net::HTTPRequest& request)
{
    return Poco::icompare(request.get("Expect", ""), "100-continue") == 0;
}

} // namespace

HttpConnection::HttpConnection(TlsConnection& tls, const RouteTable& routes, RequestLog& log, const PortalOptions& options)
    : tls_(tls)
    , routes_(routes)
    , log_(log)
    , options_(options)
    , peer_(tls.peerAddress())
{
}

void HttpConnection::run()
{
    try {
        tls_.handshake();
    } catch (const std::runtime_error& e) {
        printDiagnostic(peer_ + ": " + e.what());
        return;
    }
    clientSubject_ = tls_.clientSubject();
    TlsStreamBuffer buffer(tls_);
    std::iostream stream(&buffer);
    while (serveRequest(stream)) {
    }
    tls_.close();
}

bool HttpConnection::serveRequest(std::iostream& stream)
{
    Poco::Net::HTTPRequest request;
    try {
        request.read(stream);
    } catch (const Poco::Net::NoMessageException&) {
        return false; // closed or idle past the time-out between requests
    } catch (const Poco::Exception& e) {
        Response response(stream, false);
        return answerError(response, nullptr, HTTPResponse::HTTP_BAD_REQUEST, "malformed request: " + e.displayText());
    }
    log_.record(request, clientSubject_, peer_);

    Response response(stream, request.getKeepAlive());
    std::optional<RequestBody> body;
    try {
        body.emplace(stream, request, [&response, &request] {
            // Once the answer is out, a body still to be skipped gets no invitation.
            if (expectsContinue(request) && !response.sent())
                response.sendContinue();
        });
        Exchange exchange{request, *body, response, clientSubject_, options_};
        routes_.dispatch(exchange);
        return response.keepAlive() && body->skipRest(kSkippableRest);
    } catch (const HttpError& e) {
        return answerError(response, body ? &*body : nullptr, e.status, e.what());
    } catch (const ConnectionLost&) {
        return false;
    } catch (const std::exception& e) {
        printDiagnostic(peer_ + ": " + request.getMethod() + " " + request.getURI() + ": " + e.what());
        return answerError(response, nullptr, HTTPResponse::HTTP_INTERNAL_SERVER_ERROR, e.what());
    }
}

bool HttpConnection::answerError(Response& response, RequestBody* body, HTTPResponse::HTTPStatus status,
                                 const std::string& message)
{
    if (response.sent())
        return false; // the answer is half out; only closing tells the client
    // Without the end of this body the next request cannot be found.
    bool bodySkipped = false;
    try {
        bodySkipped = body && body->skipRest(kSkippableRest);
    } catch (const std::runtime_error&) {
        bodySkipped = false; // broken framing or a lost client: close after the answer
    }
    const bool keepAlive = bodySkipped && response.keepAlive();
    response.header().setKeepAlive(keepAlive);
    try {
        response.sendText(status, "text/plain; charset=utf-8", message + "\n");
    } catch (const ConnectionLost&) {
        return false;
    }
    return keepAlive;
}

} // namespace standin
