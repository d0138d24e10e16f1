#include "document_store.h"
#include "envelope_summary.h"
#include "handlers/handlers.h"
#include "json_answer.h"
#include "route_table.h"

namespace standin {

void serveSignVerificationData(Exchange& exchange)
{
    const std::vector<std::string> segments = pathSegments(exchange.request.getURI());
    const DocumentStore store(exchange.portal.stateDir);
    QJsonObject data;
    {
        const std::lock_guard<std::mutex> lock(DocumentStore::changes());
        data = signVerificationData(store.existing("inbox", segments[segments.size() - 2]));
    }
    sendJson(exchange.response, data);
}

} // namespace standin
