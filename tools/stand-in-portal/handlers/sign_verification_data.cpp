#include "document_store.h"
#include "envelope_summary.h"
#include "handlers/handlers.h"
#include "json_answer.h"
#include "route_table.h"

namespace standin {

void serveSignVerificationData(Exchange& exchange)
{
    const DocumentStore store(exchange.portal.stateDir);
    QJsonObject data;
    {
        const std::lock_guard<std::mutex> lock(DocumentStore::changes());
        data = signVerificationData(store.existing("inbox", pathSegmentFromEnd(exchange.request.getURI(), 1)));
    }
    sendJson(exchange.response, data);
}

} // namespace standin
