#include "document_archive.h"
#include "document_store.h"
#include "handlers/handlers.h"
#include "http_error.h"
#include "query_parameters.h"
#include "route_table.h"
#include "scratch_file.h"

#include <fstream>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

constexpr std::uint64_t kMaxPartIndex = 10000;

bool exists(const std::filesystem::path& document, const std::string& entry)
{
    return std::filesystem::is_regular_file(document / entry);
}

std::vector<std::uint64_t> chosenAttachments(const QueryParameters& query, const std::filesystem::path& document)
{
    if (query.boolean("allAttachments")) {
        std::vector<std::uint64_t> all;
        for (std::uint64_t n = 1; exists(document, std::to_string(n)); ++n)
            all.push_back(n);
        return all;
    }
    if (query.text("attachmentsIndices").empty())
        return {};
    const std::vector<std::uint64_t> chosen = query.numberList("attachmentsIndices", kMaxPartIndex, kMaxPartIndex);
    for (const std::uint64_t n : chosen) {
        if (!exists(document, std::to_string(n)))
            throw HttpError(HTTPResponse::HTTP_NOT_FOUND, "the document has no attachment " + std::to_string(n));
    }
    return chosen;
}

// The envelope and the chosen attachments, each followed by its signature when asked for and present.
std::vector<std::string> archiveEntries(const QueryParameters& query, const std::filesystem::path& document)
{
    std::vector<std::string> parts;
    if (query.boolean("envelope"))
        parts.push_back("0");
    for (const std::uint64_t n : chosenAttachments(query, document))
        parts.push_back(std::to_string(n));
    const bool signs = query.boolean("signs");
    std::vector<std::string> entries;
    for (const std::string& part : parts) {
        entries.push_back(part);
        if (signs && exists(document, part + ".sign"))
            entries.push_back(part + ".sign");
    }
    return entries;
}

void sendFile(Response& response, const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    response.header().setContentType("application/zip");
    std::ostream& body = response.beginBody(std::filesystem::file_size(path));
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        body.write(buffer, in.gcount());
    response.flush();
}

} // namespace

void serveStorageDownload(Exchange& exchange)
{
    const std::string kind = pathSegmentFromEnd(exchange.request.getURI(), 1);
    const std::string id = pathSegmentFromEnd(exchange.request.getURI(), 0);
    const QueryParameters query(exchange.request.getURI());
    const DocumentStore store(exchange.portal.stateDir);
    ScratchFile archive(store.scratchDirectory(), "archive");
    {
        // A draft being sent or deleted must not leave a half-filled archive.
        const std::lock_guard<std::mutex> lock(DocumentStore::changes());
        const std::filesystem::path document = store.existing(kind, id);
        writeDocumentArchive(archive.path(), document, archiveEntries(query, document));
    }
    sendFile(exchange.response, archive.path());
}

} // namespace standin
