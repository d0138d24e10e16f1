#include "document_store.h"

#include "http_error.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

bool isDocumentKind(const std::string& kind) { return kind == "drafts" || kind == "inbox" || kind == "outbox"; }

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
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

DocumentStore::DocumentStore(const std::filesystem::path& stateDir) : m_stateDir(stateDir) {}

std::filesystem::path DocumentStore::directory(const std::string& kind, const std::string& id) const
{
    if (!isDocumentKind(kind) || !isDocumentId(id))
        throw HttpError(HTTPResponse::HTTP_NOT_FOUND, "no such document: " + kind + "/" + id);
    return m_stateDir / "documents" / kind / lowerCase(id);
}

std::filesystem::path DocumentStore::existing(const std::string& kind, const std::string& id) const
{
    const std::filesystem::path path = directory(kind, id);
    if (!std::filesystem::is_directory(path))
        throw HttpError(HTTPResponse::HTTP_NOT_FOUND, "no such document: " + kind + "/" + id);
    return path;
}

std::vector<std::string> DocumentStore::ids(const std::string& kind) const
{
    if (!isDocumentKind(kind))
        throw std::invalid_argument("no such kind of documents: " + kind);
    std::vector<std::string> found;
    const std::filesystem::path kindDirectory = m_stateDir / "documents" / kind;
    std::error_code error;
    std::filesystem::directory_iterator entries(kindDirectory, error);
    // No directory yet means no documents of that kind yet.
    if (error && error != std::errc::no_such_file_or_directory)
        throw std::filesystem::filesystem_error("cannot list the documents", kindDirectory, error);
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (isDocumentId(name) && name == lowerCase(name) && entry.is_directory())
            found.push_back(name);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::filesystem::path DocumentStore::scratchDirectory() const { return m_stateDir / "tmp"; }

std::mutex& DocumentStore::changes()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace standin
