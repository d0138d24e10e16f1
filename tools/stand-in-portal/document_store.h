#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace standin {

// The portal's documents: STATE/documents/{drafts,inbox,outbox}/<id>/ holding "0" (the
// envelope), "1", "2", ... (the attachments) and "n.sign" (the detached signature of part n).
class DocumentStore
{
public:
    explicit DocumentStore(const std::filesystem::path& stateDir);

    // kind is drafts, inbox or outbox and id a document id as text (the case does not matter).
    std::filesystem::path directory(const std::string& kind, const std::string& id) const;
    // The directory of a document that exists; HttpError 404 naming it otherwise.
    std::filesystem::path existing(const std::string& kind, const std::string& id) const;
    // The ids of the documents of a kind (drafts, inbox or outbox), sorted; entries whose names
    // are no document ids are left out.
    std::vector<std::string> ids(const std::string& kind) const;
    // Where files are prepared before they are renamed into a document.
    std::filesystem::path scratchDirectory() const;

    // Held by every change of the documents, so that requests of several connections never
    // see a document half-changed.
    static std::mutex& changes();

private:
    std::filesystem::path m_stateDir;
};

} // namespace standin
