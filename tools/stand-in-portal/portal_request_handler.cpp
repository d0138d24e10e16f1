#include "portal_request_handler.h"

#include "client_subject.h"
#include "diagnostics.h"
#include "http_error.h"
#include "request_body.h"

#include <Poco/Exception.h>
#include <Poco/Net/HTTPServerRequestImpl.h>

#include <optional>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

// A body a handler left unread is skipped up to this size to keep the connection; beyond it
// closing is cheaper.
constexpr std::uint64_t kSkippableRest = 1024 * 1024;

void answerError(Response& response, RequestBody* body, HTTPResponse::HTTPStatus status, const std::string& message)
{
    if (response.sent()) {
        response.closeAfterwards(); // the answer is half out; only closing tells the client
        return;
    }
    // Without the end of this body the next request cannot be found.
    bool bodySkipped = false;
    try {
        bodySkipped = body && body->skipRest(kSkippableRest);
    } catch (const std::runtime_error&) {
        bodySkipped = false; // broken framing or a lost client
    }
    if (!bodySkipped)
        response.closeAfterwards();
    try {
        response.sendText(status, "text/plain; charset=utf-8", message + "\n");
    } catch (const Poco::Exception&) {
        response.closeAfterwards();
    }
}

// A write to a client that went away or stopped reading; nobody needs to hear of it.
bool isLostClient(const Poco::Exception& e)
{
    return dynamic_cast<const Poco::IOException*>(&e) || dynamic_cast<const Poco::TimeoutException*>(&e);
}

} // namespace

void PortalRequestHandler::handleRequest(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    // POCO's server hands its own request type to every handler.
    auto& serverRequest = static_cast<Poco::Net::HTTPServerRequestImpl&>(request);
    const std::string subject = clientSubject(serverRequest.socket());
    m_log.record(request, subject, request.clientAddress().toString());
    Response answer(serverRequest, response);
    try {
        serve(serverRequest, answer, subject);
    } catch (const ConnectionLost&) {
        answer.closeAfterwards();
    } catch (const Poco::Exception& e) {
        if (answer.sent() && isLostClient(e))
            answer.closeAfterwards();
        else
            fail(request, answer, e.displayText());
    } catch (const std::exception& e) {
        fail(request, answer, e.what());
    }
}

void PortalRequestHandler::serve(Poco::Net::HTTPServerRequestImpl& request, Response& response,
                                 const std::string& clientSubject)
{
    std::optional<RequestBody> body;
    try {
        body.emplace(request);
        Exchange exchange{request, *body, response, clientSubject, m_options};
        m_routes.dispatch(exchange);
        if (!body->skipRest(kSkippableRest))
            response.closeAfterwards();
    } catch (const HttpError& e) {
        answerError(response, body ? &*body : nullptr, e.status, e.what());
    }
}

void PortalRequestHandler::fail(const Poco::Net::HTTPServerRequest& request, Response& response,
                                const std::string& reason)
{
    printDiagnostic(request.clientAddress().toString() + ": " + request.getMethod() + " " + request.getURI() + ": "
                    + reason);
    answerError(response, nullptr, HTTPResponse::HTTP_INTERNAL_SERVER_ERROR, reason);
}

} // namespace standin
