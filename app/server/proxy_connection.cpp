#include "server/proxy_connection.h"

#include "server/proxy_server_request.h"
#include "server/proxy_server_session.h"
#include "server/request_framing.h"

#include "tessel/log_record.h"

#include <Poco/Net/HTTPRequestHandler.h>
#include <Poco/Net/HTTPServerResponseImpl.h>
#include <Poco/Net/NetException.h>
#include <Poco/Timestamp.h>

#include <memory>
#include <optional>

namespace tessel {

ProxyConnection::ProxyConnection(const Poco::Net::StreamSocket& socket, ConnectionContext& context)
    : Poco::Net::TCPServerConnection(socket), m_context(context)
{}

void ProxyConnection::run()
{
    ProxyServerSession session(socket(), m_context.parameters);
    m_context.open.add(this);
    while (!m_stopped && serveOne(session)) {
    }
    m_context.open.remove(this);
}

void ProxyConnection::stop()
{
    m_stopped = true;
    std::lock_guard<std::mutex> lock(m_requestMutex);
    try {
        socket().shutdown();
    } catch (const Poco::Exception&) {
        // the browser has gone already
    }
}

bool ProxyConnection::serveOne(ProxyServerSession& session)
{
    // The wait for a request and its head together: a client that sends nothing, or a header
    // line now and then, gives its thread back when the bound has passed.
    std::optional<HeadDeadlines::Watch> watch(std::in_place, m_context.deadlines, socket(), m_context.headBound);
    if (!session.hasMoreRequests())
        return false;
    std::lock_guard<std::mutex> lock(m_requestMutex);
    if (m_stopped)
        return false;
    Poco::Net::HTTPServerResponseImpl response(session);
    std::unique_ptr<ProxyServerRequest> request;
    try {
        request = std::make_unique<ProxyServerRequest>(response, session, m_context.parameters.get());
    } catch (const Poco::Net::NoMessageException&) {
        return false;
    } catch (const Poco::Exception& e) {
        // The request that failed to construct stays attached to response: answer on a fresh one.
        Poco::Net::HTTPServerResponseImpl refusal(session);
        if (watch->expired())
            refuse(refusal, session, 408, "Request Timeout: the request head did not arrive in time.\n");
        else
            refuse(refusal, session, 400, "Bad Request: " + e.displayText() + "\n");
        return false;
    }
    if (watch->expired()) {
        refuse(response, session, 408, "Request Timeout: the request head did not arrive in time.\n");
        return false;
    }
    watch.reset();
    return handle(*request, response, session);
}

bool ProxyConnection::handle(ProxyServerRequest& request, Poco::Net::HTTPServerResponseImpl& response,
                             ProxyServerSession& session)
{
    const Poco::Net::HTTPServerParams& parameters = *m_context.parameters;
    response.setDate(Poco::Timestamp());
    response.setVersion(request.getVersion());
    response.setKeepAlive(parameters.getKeepAlive() && request.getKeepAlive() && session.canKeepAlive());
    const QString fault = framingFault(request);
    if (!fault.isEmpty()) {
        LOG_WARN << QStringLiteral("Refused %1 %2: %3")
                        .arg(QString::fromStdString(request.getMethod()), QString::fromStdString(request.getURI()), fault);
        refuse(response, session, 400, "Bad Request: " + fault.toStdString() + ".\n");
        return false;
    }
    std::unique_ptr<Poco::Net::HTTPRequestHandler> handler(m_context.handlers->createRequestHandler(request));
    if (request.getExpectContinue() && response.getStatus() == Poco::Net::HTTPResponse::HTTP_OK)
        response.sendContinue();
    try {
        handler->handleRequest(request, response);
    } catch (const std::exception&) {
        if (response.sent()) {
            // The answer has begun: the browser must see it end early, not complete.
            try {
                socket().shutdown();
            } catch (const Poco::Exception&) {
                // the browser has gone already
            }
        } else if (request.bodyBroken()) {
            refuse(response, session, 400, "Bad Request: the request's chunked body is broken.\n");
        } else {
            refuse(response, session, 500, "Internal Server Error\n");
        }
        return false;
    }
    session.setKeepAlive(parameters.getKeepAlive() && response.getKeepAlive() && session.canKeepAlive());
    return session.getKeepAlive();
}

void ProxyConnection::refuse(Poco::Net::HTTPServerResponseImpl& response, ProxyServerSession& session, int status,
                             const std::string& text)
{
    try {
        response.setVersion(Poco::Net::HTTPMessage::HTTP_1_1);
        response.setStatusAndReason(static_cast<Poco::Net::HTTPResponse::HTTPStatus>(status));
        response.setKeepAlive(false);
        response.setContentType("text/plain; charset=utf-8");
        response.setContentLength(static_cast<std::streamsize>(text.size()));
        response.send() << text << std::flush;
    } catch (const Poco::Exception&) {
        // the browser has gone already
    }
    session.setKeepAlive(false);
}

} // namespace tessel
