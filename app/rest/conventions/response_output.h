#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

class QFileInfo;

namespace Poco::Net {
class HTTPServerResponse;
}

namespace tessel::rest {

// Objects and arrays as indented JSON; null as "null"; other values as their plain text.
QString toJsonText(const QJsonValue& value);

void setNoCacheHeaders(Poco::Net::HTTPServerResponse& response);

void sendJson(Poco::Net::HTTPServerResponse& response, const QJsonValue& value);
// An error a client tells apart by its object rather than by its text.
void sendJsonError(Poco::Net::HTTPServerResponse& response, const QJsonObject& error, int status);
void sendHtml(Poco::Net::HTTPServerResponse& response, const QString& html);
void sendNoContent(Poco::Net::HTTPServerResponse& response);

// An empty message sends the bare status; otherwise the message is the reason phrase and the body.
void sendError(Poco::Net::HTTPServerResponse& response, const QString& message, int status);

// An empty MIME type is looked up from the file, by content when matchContent is set.
void sendFile(const QFileInfo& file, Poco::Net::HTTPServerResponse& response, const QString& mimeType,
              bool matchContent, const QString& fileName);

// "inline; filename=..." with quotes and backslashes escaped, controls blanked, and an
// RFC 5987 form beside it for a name that is not plain ASCII.
std::string contentDisposition(const QString& fileName);

// A status line cannot carry line breaks or control characters; they become blanks.
std::string reasonPhraseOf(const QString& message);

} // namespace tessel::rest
