#pragma once

#include "exchange.h"

#include <functional>
#include <string>
#include <vector>

namespace standin {

using RouteHandler = std::function<void(Exchange&)>;

// A segment of a request target's path, counted from its end ("/a/b/c?x" with 1 gives b);
// HttpError 400 for a bad target, 404 when the path has too few segments.
std::string pathSegmentFromEnd(const std::string& target, std::size_t placesBeforeLast);

// Sends each request to the handler of its path; 404 for unknown paths, 405 for a known path
// asked with another method. A "*" segment of a path matches any one non-empty segment.
class RouteTable
{
public:
    // method "*" takes every method.
    void add(const std::string& method, const std::string& path, RouteHandler handler);
    void addPrefix(const std::string& method, const std::string& pathPrefix, RouteHandler handler);

    void dispatch(Exchange& exchange) const;

private:
    struct Route
    {
        std::string method;
        std::string path;
        bool prefix;
        RouteHandler handler;
    };

    std::vector<Route> m_routes;
};

} // namespace standin
