#include "document_store.h"
#include "handlers/handlers.h"
#include "route_table.h"

namespace standin {

void serveDraftDelete(Exchange& exchange)
{
    const DocumentStore store(exchange.portal.stateDir);
    {
        const std::lock_guard<std::mutex> lock(DocumentStore::changes());
        std::filesystem::remove_all(store.existing("drafts", pathSegmentFromEnd(exchange.request.getURI(), 0)));
    }
    exchange.response.sendNoContent();
}

} // namespace standin
