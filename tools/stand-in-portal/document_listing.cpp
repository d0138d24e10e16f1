#include "document_listing.h"

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <tuple>

namespace standin {

namespace {

std::vector<ListedDocument> listKind(const DocumentStore& store, const std::string& kind)
{
    std::vector<ListedDocument> documents;
    for (const std::string& id : store.ids(kind)) {
        ListedDocument document;
        document.id = id;
        const std::filesystem::path directory = store.directory(kind, id);
        try {
            document.summary = envelopeSummary(directory);
            document.signStateId = recordedSignStateId(directory);
        } catch (const std::runtime_error& e) {
            document.error = QString::fromStdString(e.what());
        }
        documents.push_back(std::move(document));
    }
    std::stable_sort(documents.begin(), documents.end(), [](const ListedDocument& a, const ListedDocument& b) {
        return std::tie(a.summary.date, a.summary.number) < std::tie(b.summary.date, b.summary.number);
    });
    return documents;
}

} // namespace

DocumentLists listDocuments(const DocumentStore& store)
{
    const std::lock_guard<std::mutex> lock(DocumentStore::changes());
    return {listKind(store, "drafts"), listKind(store, "inbox"), listKind(store, "outbox")};
}

} // namespace standin
