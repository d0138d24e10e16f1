#include "document_listing.h"
#include "document_page.h"
#include "handlers/handlers.h"

namespace standin {

void serveWebclientPage(Exchange& exchange)
{
    // The real portal keeps a session per sign-in; the stand-in has one, and the page sends it
    // to the proxy, which passes it on to every portal call.
    exchange.response.header().add("Set-Cookie", "X-Session-Id=stand-in-session; Path=/");
    const DocumentLists lists =
        exchange.clientSubject.empty() ? DocumentLists() : listDocuments(DocumentStore(exchange.portal.stateDir));
    exchange.response.header().set("Cache-Control", "no-store");
    exchange.response.sendText(Poco::Net::HTTPResponse::HTTP_OK, "text/html; charset=utf-8",
                               documentPageHtml(exchange.clientSubject, lists));
}

} // namespace standin
