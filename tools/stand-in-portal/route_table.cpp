#include "route_table.h"

#include "http_error.h"

#include <Poco/Exception.h>
#include <Poco/URI.h>

#include <algorithm>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

std::string requestPath(const std::string& target)
{
    try {
        return Poco::URI(target).getPath();
    } catch (const Poco::SyntaxException&) {
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "invalid request target");
    }
}

std::vector<std::string> pathSegments(const std::string& target)
{
    std::vector<std::string> segments;
    Poco::URI path;
    path.setPath(requestPath(target));
    path.getPathSegments(segments);
    return segments;
}

// Segment by segment, so that "*" stands for one segment and never for a slash.
bool matchesPattern(const std::string& pattern, const std::string& path)
{
    std::size_t p = 0;
    std::size_t q = 0;
    while (p < pattern.size() && q <= path.size()) {
        if (pattern[p] == '*') {
            const std::size_t end = std::min(path.find('/', q), path.size());
            if (end == q)
                return false;
            ++p;
            q = end;
        } else if (q < path.size() && pattern[p] == path[q]) {
            ++p;
            ++q;
        } else {
            return false;
        }
    }
    return p == pattern.size() && q == path.size();
}

} // namespace

std::string pathSegmentFromEnd(const std::string& target, std::size_t placesBeforeLast)
{
    const std::vector<std::string> segments = pathSegments(target);
    if (placesBeforeLast >= segments.size())
        throw HttpError(HTTPResponse::HTTP_NOT_FOUND, "no such page: " + requestPath(target));
    return segments[segments.size() - 1 - placesBeforeLast];
}

void RouteTable::add(const std::string& method, const std::string& path, RouteHandler handler)
{
    m_routes.push_back({method, path, false, std::move(handler)});
}

void RouteTable::addPrefix(const std::string& method, const std::string& pathPrefix, RouteHandler handler)
{
    m_routes.push_back({method, pathPrefix, true, std::move(handler)});
}

void RouteTable::dispatch(Exchange& exchange) const
{
    const std::string path = requestPath(exchange.request.getURI());
    std::string allowed;
    for (const Route& route : m_routes) {
        const bool pathMatches =
            route.prefix ? path.compare(0, route.path.size(), route.path) == 0 : matchesPattern(route.path, path);
        if (!pathMatches)
            continue;
        if (route.method == "*" || route.method == exchange.request.getMethod()) {
            route.handler(exchange);
            return;
        }
        allowed += (allowed.empty() ? "" : ", ") + route.method;
    }
    if (allowed.empty())
        throw HttpError(HTTPResponse::HTTP_NOT_FOUND, "no such page: " + path);
    exchange.response.header().set("Allow", allowed);
    throw HttpError(HTTPResponse::HTTP_METHOD_NOT_ALLOWED, "allowed methods: " + allowed);
}

} // namespace standin
