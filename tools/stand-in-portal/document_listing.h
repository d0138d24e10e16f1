#pragma once

#include "document_store.h"
#include "envelope_summary.h"

#include <QString>

#include <string>
#include <vector>

namespace standin {

// One document as the portal's page lists it.
struct ListedDocument
{
    std::string id;
    EnvelopeSummary summary;
    int signStateId = 0;
    // Why the envelope could not be read; empty when it could, and summary is then filled in.
    QString error;
};

// The documents of the user, by kind, each list in the order of date and number.
struct DocumentLists
{
    std::vector<ListedDocument> drafts;
    std::vector<ListedDocument> inbox;
    std::vector<ListedDocument> outbox;
};

// Reads all three kinds at once under the store's lock, so that a draft being sent shows up in
// one list, never in both or in neither. A document whose envelope cannot be read is listed
// with the error.
DocumentLists listDocuments(const DocumentStore& store);

} // namespace standin
