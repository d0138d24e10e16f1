#pragma once

#include "exchange.h"

#include <functional>
#include <string>
#include <vector>

namespace standin {

using RouteHandler = std::function<void(Exchange&)>;

// The segments of a request target's path ("/a/b?x" gives a, b); HttpError 400 for a bad target.
std::vector<std::string> pathSegments(const std::string& target);

// Sends each request to the handler of its path; 404 for unknown paths, 405 for a known path
// asked with another method. A "*" segment of a path matches any one non-empty segment.
class RouteTable {
public:
    // method "*" takes every method.
    void add(const std::string& method, const std::string& path, RouteHandler handler);
    void addPrefix(const std::string& method, const std::string& pathPrefix, RouteHandler handler);

    void dispatch(Exchange& exchange) const;

private:
    struct Route {
        std::string method;
        std::string path;
        bool prefix;
        RouteHandler handler;
    };

    std::vector<Route> routes_;
};

} // namespace standin
