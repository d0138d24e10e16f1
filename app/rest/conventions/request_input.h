#pragma once

#include <QJsonValue>
#include <QString>

#include <cstddef>

namespace Poco::Net {
class HTTPServerRequest;
}

namespace tessel::rest {

constexpr std::size_t maxBodyTextSize = 16 << 20;

// The body up to its first zero byte, as UTF-8. A body over maxBodyTextSize is a bad request.
QString readBodyText(Poco::Net::HTTPServerRequest& request);

// Empty body: null. A body not starting with "[" or "{": that text as a JSON string.
// Otherwise the parsed top-level object (an array gives an empty object).
QJsonValue parseJsonBody(Poco::Net::HTTPServerRequest& request);

// The "X-Session-Id" header, else the cookie of that name, else empty.
QString sessionIdOf(const Poco::Net::HTTPServerRequest& request);

// The request target as received, read as UTF-8.
QString requestPath(const Poco::Net::HTTPServerRequest& request);

// Segment k counted from the end of the path (k = 0 is the last).
QString pathSegment(const QString& path, int k);

} // namespace tessel::rest
