#include "document_store.h"
#include "handlers/handlers.h"
#include "http_error.h"
#include "route_table.h"

namespace standin {

void serveDraftSend(Exchange& exchange)
{
    using Poco::Net::HTTPResponse;
    const std::string id = pathSegmentFromEnd(exchange.request.getURI(), 1);
    const DocumentStore store(exchange.portal.stateDir);
    {
        const std::lock_guard<std::mutex> lock(DocumentStore::changes());
        const std::filesystem::path draft = store.existing("drafts", id);
        if (!std::filesystem::is_regular_file(draft / "0.sign"))
            throw HttpError(HTTPResponse::HTTP_CONFLICT, "draft " + id + " is not signed: its envelope has no 0.sign");
        const std::filesystem::path sent = store.directory("outbox", id);
        if (std::filesystem::exists(sent))
            throw HttpError(HTTPResponse::HTTP_CONFLICT, "document " + id + " has been sent already");
        std::filesystem::create_directories(sent.parent_path());
        std::filesystem::rename(draft, sent);
    }
    exchange.response.sendNoContent();
}

} // namespace standin
