#include "portal_routes.h"

#include "handlers/handlers.h"

namespace standin {

RouteTable portalRoutes()
{
    RouteTable routes;
    routes.add("GET", "/webclient/", serveWebclientPage);
    routes.add("*", "/test/echo", serveEcho);
    routes.add("POST", "/test/upload", serveUpload);
    routes.add("GET", "/test/download", serveDownload);
    routes.add("GET", "/test/chunks", serveChunks);
    routes.add("GET", "/test/redirect", serveRedirect);
    return routes;
}

} // namespace standin
