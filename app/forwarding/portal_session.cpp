#include "forwarding/portal_session.h"

#include "crypto_setup/crypto_engine_setup.h"
#include "forwarding/http_chunked_input_stream.h"
#include "forwarding/http_stream.h"
#include "forwarding/portal_unavailable.h"
#include "interfaces/app_config.h"

#include "crypto/errors/exception.h"
#include "tessel/exception.h"
#include "tessel/log_record.h"

#include <Poco/Net/HTTPRequest.h>
#include <Poco/Net/HTTPResponse.h>
#include <Poco/Net/NetException.h>

#include <QCoreApplication>

namespace tessel {
namespace {

// Answers to HEAD, 1xx, 204 and 304 have no body whatever their headers say.
bool answerHasBody(const std::string& method, int status)
{
    return method != Poco::Net::HTTPRequest::HTTP_HEAD && status >= 200
           && status != Poco::Net::HTTPResponse::HTTP_NO_CONTENT && status != Poco::Net::HTTPResponse::HTTP_NOT_MODIFIED;
}

} // namespace

PortalSession::PortalSession(const QSharedPointer<nxcrypto::CryptoEngine>& engine)
    : m_portalUrl(AppConfig::instance()->appUrl())
{
    const AppConfig* config = AppConfig::instance();
    try {
        m_stream.open(portalName(), config->appHost(), config->appPort(), config->networkTimeout(),
                      config->isHttps() ? engine : QSharedPointer<nxcrypto::CryptoEngine>());
    } catch (const nxcrypto::ClientAuthNeeded&) {
        LOG_INFO << QCoreApplication::translate("ProxyRequestHandler", "Client auth needed");
        m_needsClientAuth = true;
    }
}

PortalSession::~PortalSession() = default;

QString PortalSession::portalName() const
{
    return m_portalUrl.toString(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
}

std::ostream& PortalSession::sendRequest(Poco::Net::HTTPRequest& request)
{
    m_method = request.getMethod();
    if (m_needsClientAuth)
        return m_discarded;
    rewriteRequest(request, m_portalUrl);
    // One exchange a connection: the portal may close it once it has answered.
    request.setKeepAlive(false);
    request.write(m_stream);
    m_stream.flush();
    if (!m_stream)
        throw utils::exception(QStringLiteral("The portal stopped taking the request"));
    return m_stream;
}

std::istream& PortalSession::receiveResponse(Poco::Net::HTTPResponse& response)
{
    if (m_needsClientAuth) {
        response.clear();
        response.setStatusAndReason(Poco::Net::HTTPResponse::HTTP_FOUND);
        response.set("Location", "/local/#auth");
        response.setContentLength(0);
        return m_noBody;
    }
    try {
        // Interim answers such as "100 Continue" may come before the real one.
        do {
            response.clear();
            response.read(m_stream);
        } while (HttpStream::isInterim(response.getStatus()));
    } catch (const Poco::Net::MessageException&) {
        if (timedOut())
            throw PortalUnavailable(PortalUnavailable::Cause::TimedOut, portalName());
        throw;
    }
    if (!answerHasBody(m_method, response.getStatus()))
        return m_noBody;
    if (response.getChunkedTransferEncoding()) {
        m_chunkedBody = std::make_unique<HTTPChunkedInputStream>(m_stream);
        return *m_chunkedBody;
    }
    return m_stream;
}

void PortalSession::rewriteRequest(Poco::Net::HTTPRequest& request, const QUrl& portalUrl)
{
    const AppConfig* config = AppConfig::instance();
    request.setURI(portalUrl.path(QUrl::FullyDecoded).toStdString() + request.getURI());
    request.set("Host", QStringLiteral("%1:%2").arg(config->appHost()).arg(config->appPort()).toStdString());
}

} // namespace tessel
