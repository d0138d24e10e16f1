#pragma once

#include <QRegularExpression>
#include <QString>

#include <functional>
#include <vector>

namespace Poco::Net {
class HTTPServerRequest;
class HTTPServerResponse;
} // namespace Poco::Net

namespace tessel {

// True when the handler has answered, false when it declines and the next route is tried.
using RouteHandler = std::function<bool(Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse&)>;

struct Route
{
    QRegularExpression pattern;
    QString method; // empty: any method
    RouteHandler handler;
};

using RouteList = std::vector<Route>;

} // namespace tessel
