#include "document_store.h"
#include "handlers/handlers.h"
#include "http_error.h"
#include "route_table.h"
#include "uploaded_files.h"

#include <Poco/String.h>

#include <algorithm>
#include <cctype>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

bool isPartNumber(const std::string& text)
{
    return !text.empty() && text.size() <= 5 && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// "<id>.0" is the envelope and "<id>.<n>.sign" the signature of part n; in the draft they are
// "0" and "<n>.sign". Any other name, or a signature of a part the draft lacks, is refused.
std::string portalName(const std::string& fileName, const std::string& draftId, const std::filesystem::path& draft)
{
    const std::string prefix = draftId + ".";
    if (fileName.size() <= prefix.size() || Poco::icompare(fileName.substr(0, prefix.size()), prefix) != 0)
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "file " + fileName + " does not belong to draft " + draftId);
    const std::string name = fileName.substr(prefix.size());
    if (name == "0")
        return name;
    const std::string suffix = ".sign";
    const std::string part = name.size() > suffix.size() ? name.substr(0, name.size() - suffix.size()) : std::string();
    if (!isPartNumber(part) || name.compare(part.size(), suffix.size(), suffix) != 0)
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST,
                        "only the envelope <id>.0 and signatures <id>.<n>.sign are taken, got: " + fileName);
    if (!std::filesystem::is_regular_file(draft / part))
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "draft " + draftId + " has no part " + part + " to sign");
    return name;
}

} // namespace

void serveDraftSigns(Exchange& exchange)
{
    const std::string id = pathSegmentFromEnd(exchange.request.getURI(), 1);
    const DocumentStore store(exchange.portal.stateDir);
    store.existing("drafts", id);
    std::vector<UploadedFile> files = receiveUploadedFiles(exchange.request, exchange.body, store.scratchDirectory());
    if (files.empty())
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "the form holds no file");
    {
        // Checked again now that the body is in: the draft may have gone meanwhile.
        const std::lock_guard<std::mutex> lock(DocumentStore::changes());
        const std::filesystem::path draft = store.existing("drafts", id);
        std::vector<std::string> names;
        for (const UploadedFile& file : files)
            names.push_back(portalName(file.fileName, id, draft));
        // Every name is checked before the first file goes in: a refused form changes nothing.
        for (std::size_t i = 0; i < files.size(); ++i)
            files[i].content->moveTo(draft / names[i]);
    }
    exchange.response.sendNoContent();
}

} // namespace standin
