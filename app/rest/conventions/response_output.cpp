#include "rest/conventions/response_output.h"

#include "http/file_body.h"

#include <Poco/Net/HTTPServerResponse.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tessel::rest {
namespace {

void sendText(Poco::Net::HTTPServerResponse& response, const char* contentType, const QString& text,
              Poco::Net::HTTPResponse::HTTPStatus status = Poco::Net::HTTPResponse::HTTP_OK)
{
    setNoCacheHeaders(response);
    response.setContentType(contentType);
    response.setStatus(status);
    const QByteArray body = text.toUtf8();
    response.send().write(body.constData(), body.size());
}

} // namespace

QString toJsonText(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Object:
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Indented));
    case QJsonValue::Array:
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Indented));
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default:
        return value.toVariant().toString();
    }
}

void setNoCacheHeaders(Poco::Net::HTTPServerResponse& response)
{
    response.set("Pragma", "no-cache");
    response.set("Cache-Control", "no-cache, no-store, must-revalidate");
    response.set("Expires", "0");
}

void sendJson(Poco::Net::HTTPServerResponse& response, const QJsonValue& value)
{
    sendText(response, "application/json", toJsonText(value));
}

void sendJsonError(Poco::Net::HTTPServerResponse& response, const QJsonObject& error, int status)
{
    sendText(response, "application/json", toJsonText(error), static_cast<Poco::Net::HTTPResponse::HTTPStatus>(status));
}

void sendHtml(Poco::Net::HTTPServerResponse& response, const QString& html) { sendText(response, "text/html", html); }

void sendNoContent(Poco::Net::HTTPServerResponse& response)
{
    setNoCacheHeaders(response);
    response.setStatus(Poco::Net::HTTPResponse::HTTP_NO_CONTENT);
    response.send();
}

std::string contentDisposition(const QString& fileName)
{
    // The name comes from the portal's envelope: a quote or a line break in it must not end the header.
    QString quoted;
    bool ascii = true;
    for (const QChar c : fileName) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            quoted.append(QLatin1Char('\\'));
        quoted.append(c.category() == QChar::Other_Control ? QChar(QLatin1Char(' ')) : c);
        ascii = ascii && c.unicode() < 0x80;
    }
    QString value = QStringLiteral("inline; filename=\"%1\"").arg(quoted);
    if (!ascii)
        value += QStringLiteral("; filename*=UTF-8''") + QString::fromLatin1(fileName.toUtf8().toPercentEncoding());
    return value.toUtf8().toStdString();
}

std::string reasonPhraseOf(const QString& message)
{
    QString phrase = message;
    for (QChar& c : phrase) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return phrase.toUtf8().toStdString();
}

void sendError(Poco::Net::HTTPServerResponse& response, const QString& message, int status)
{
    setNoCacheHeaders(response);
    const auto code = static_cast<Poco::Net::HTTPResponse::HTTPStatus>(status);
    if (message.isEmpty()) {
        response.setStatus(code);
        response.send();
        return;
    }
    response.setContentType("text/plain; charset=utf-8");
    response.setChunkedTransferEncoding(true);
    response.setStatusAndReason(code, reasonPhraseOf(message));
    const QByteArray body = message.toUtf8();
    response.send().write(body.constData(), body.size());
}

void sendFile(const QFileInfo& file, Poco::Net::HTTPServerResponse& response, const QString& mimeType,
              bool matchContent, const QString& fileName)
{
    QFile input(file.filePath());
    if (!openForAnswer(input, response))
        return;
    const auto matching = matchContent ? QMimeDatabase::MatchContent : QMimeDatabase::MatchDefault;
    const QString type = mimeType.isEmpty() ? mimeDatabase().mimeTypeForFile(file, matching).name() : mimeType;
    response.setStatus(Poco::Net::HTTPResponse::HTTP_OK);
    if (!fileName.isEmpty())
        response.set("Content-Disposition", contentDisposition(fileName));
    sendFileBody(input, type, response);
}

} // namespace tessel::rest
