#include "portal_routes.h"

#include "handlers/handlers.h"
#include "http_error.h"

namespace standin {

namespace {

const std::string kRestApi = "/rest/client/v1";

// The document API acts for the user of the client certificate; without one there is nobody.
RouteHandler forCertifiedUser(void (*handler)(Exchange&))
{
    return [handler](Exchange& exchange) {
        if (exchange.clientSubject.empty())
            throw HttpError(Poco::Net::HTTPResponse::HTTP_FORBIDDEN, "the document API needs a client certificate");
        handler(exchange);
    };
}

} // namespace

RouteTable portalRoutes()
{
    RouteTable routes;
    routes.add("GET", "/webclient/", serveWebclientPage);
    routes.add("*", "/test/echo", serveEcho);
    routes.add("POST", "/test/upload", serveUpload);
    routes.add("GET", "/test/download", serveDownload);
    routes.add("GET", "/test/chunks", serveChunks);
    routes.add("GET", "/test/redirect", serveRedirect);
    // The proxy asks for stored documents below the REST API path; other clients at the root.
    routes.add("GET", "/storage/*/*", forCertifiedUser(serveStorageDownload));
    routes.add("GET", kRestApi + "/storage/*/*", forCertifiedUser(serveStorageDownload));
    routes.add("POST", kRestApi + "/documents/drafts/*/sign", forCertifiedUser(serveDraftSigns));
    routes.add("POST", kRestApi + "/documents/drafts/*/send", forCertifiedUser(serveDraftSend));
    routes.add("PUT", kRestApi + "/documents/drafts/*", forCertifiedUser(serveDraftPut));
    routes.add("DELETE", kRestApi + "/documents/drafts/*", forCertifiedUser(serveDraftDelete));
    routes.add("PUT", kRestApi + "/documents/incoming/*/signState", forCertifiedUser(serveSignState));
    routes.add("GET", kRestApi + "/documents/incoming/*/signVerificationData",
               forCertifiedUser(serveSignVerificationData));
    return routes;
}

} // namespace standin
