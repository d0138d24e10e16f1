#include "forwarding/portal_unavailable_answer.h"

#include "forwarding/portal_unavailable.h"

#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>

#include <QString>

namespace tessel {
namespace {

const char* const page = R"(<!DOCTYPE html>
<html lang="ru">
<head><meta charset="utf-8"><title>Портал недоступен</title></head>
<body>
<h1>Портал недоступен</h1>
<p id="reason">%1</p>
<p>Проверьте подключение к сети и адрес портала в настройках.</p>
<p><a id="retry" href="%2">Повторить</a> &nbsp; <a id="settings" href="/local/">Открыть настройки</a></p>
</body>
</html>
)";

bool wantsPage(const Poco::Net::HTTPServerRequest& request)
{
    return request.get("Accept", "").find("text/html") != std::string::npos;
}

} // namespace

void answerPortalUnavailable(const Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response,
                             const PortalUnavailable& error)
{
    const QString reason = QString::fromUtf8(error.what());
    std::string body;
    if (wantsPage(request)) {
        response.setContentType("text/html; charset=utf-8");
        body = QString::fromUtf8(page)
                   .arg(reason.toHtmlEscaped(), QString::fromStdString(request.getURI()).toHtmlEscaped())
                   .toStdString();
    } else {
        response.setContentType("text/plain; charset=utf-8");
        body = reason.toStdString() + "\n";
    }
    response.setStatusAndReason(Poco::Net::HTTPResponse::HTTP_BAD_GATEWAY);
    response.setChunkedTransferEncoding(false);
    response.setContentLength(static_cast<std::streamsize>(body.size()));
    response.send() << body;
}

} // namespace tessel
