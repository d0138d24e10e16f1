#include "document_store.h"

#include "http_error.h"

#include <algorithm>
#include <cctype>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

bool isDocumentKind(const std::string& kind)
{
    return kind == "drafts" || kind == "inbox" || kind == "outbox";
}

// 8-4-4-4-12 hexadecimal digits; anything else could also climb out of the store.
bool isDocumentId(const std::string& id)
{
    if (id.size() != 36)
        return false;
    for (std::size_t i = 0; i < id.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? id[i] != '-' : std::isxdigit(static_cast<unsigned char>(id[i])) == 0)
            return false;
    }
    return true;
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

DocumentStore::DocumentStore(const std::filesystem::path& stateDir)
    : stateDir_(stateDir)
{
}

std::filesystem::path DocumentStore::directory(const std::string& kind, const std::string& id) const
{
    if (!isDocumentKind(kind) || !isDocumentId(id))
        throw HttpError(HTTPResponse::HTTP_NOT_FOUND, "no such document: " + kind + "/" + id);
    return stateDir_ / "documents" / kind / lowerCase(id);
}

std::filesystem::path DocumentStore::existing(const std::string& kind, const std::string& id) const
{
    const std::filesystem::path path = directory(kind, id);
    if (!std::filesystem::is_directory(path))
        throw HttpError(HTTPResponse::HTTP_NOT_FOUND, "no such document: " + kind + "/" + id);
    return path;
}

std::filesystem::path DocumentStore::scratchDirectory() const
{
    return stateDir_ / "tmp";
}

std::mutex& DocumentStore::changes()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace standin
