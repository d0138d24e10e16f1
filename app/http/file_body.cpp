#include "http/file_body.h"

#include <Poco/Net/HTTPServerResponse.h>

#include <QFile>

namespace tessel {

QMimeDatabase& mimeDatabase()
{
    static QMimeDatabase database;
    return database;
}

bool openForAnswer(QFile& file, Poco::Net::HTTPServerResponse& response)
{
    if (file.open(QIODevice::ReadOnly))
        return true;
    response.setStatusAndReason(Poco::Net::HTTPResponse::HTTP_INTERNAL_SERVER_ERROR, "Can't get file");
    response.setContentType("text/plain; charset=utf-8");
    response.send() << "Can't get file";
    return false;
}

void sendFileBody(QFile& file, const QString& contentType, Poco::Net::HTTPServerResponse& response)
{
    // The length alone: HTTP/1.1 forbids it beside chunks, and strict clients refuse such an answer.
    response.setContentType(contentType.toStdString());
    response.setContentLength64(file.size());
    std::ostream& body = response.send();
    char block[4096];
    qint64 n;
    while ((n = file.read(block, sizeof block)) > 0 && body.write(block, n)) {
    }
    body.flush();
}

} // namespace tessel
