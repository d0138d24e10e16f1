#include "seeded_documents.h"

#include "command.h"
#include "test_pki.h"

#include <sstream>
#include <stdexcept>

namespace testsupport {

SeededDocuments seedDocuments(const std::filesystem::path& stateDir)
{
    const TestPki& pki = TestPki::instance();
    const CommandResult result =
        runCommand({VPP_SEED_DOCUMENTS, stateDir.string(), pki.file("root.pem").parent_path().string()});
    if (result.exitStatus != 0)
        throw std::runtime_error("seed-documents failed: " + result.errors);
    SeededDocuments documents;
    std::istringstream lines(result.output);
    for (std::string kind, id; lines >> kind >> id;) {
        if (kind == "inbox")
            documents.inbox = id;
        else if (documents.fullDraft.empty())
            documents.fullDraft = id;
        else
            documents.emptyDraft = id;
    }
    if (documents.inbox.empty() || documents.emptyDraft.empty())
        throw std::runtime_error("seed-documents named fewer documents than expected: " + result.output);
    return documents;
}

} // namespace testsupport
