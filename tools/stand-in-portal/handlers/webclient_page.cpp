#include "handlers/handlers.h"

#include <QString>

namespace standin {

void serveWebclientPage(Exchange& exchange)
{
    const QString user = exchange.clientSubject.empty()
                             ? QStringLiteral("<p id=\"user\" class=\"anonymous\">No client certificate</p>")
                             : QStringLiteral("<p id=\"user\">Signed in as %1</p>")
                                   .arg(QString::fromStdString(exchange.clientSubject).toHtmlEscaped());
    const QString page = QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\">"
                                        "<title>Velmar portal</title></head>\n<body>\n<h1>Velmar portal</h1>\n%1\n"
                                        "</body>\n</html>\n")
                             .arg(user);
    exchange.response.sendText(Poco::Net::HTTPResponse::HTTP_OK, "text/html; charset=utf-8", page.toStdString());
}

} // namespace standin
