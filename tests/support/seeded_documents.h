#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// The ids that tools/stand-in-portal/seed-documents made.
struct SeededDocuments
{
    std::string fullDraft;  // envelope, document body and two attachments, unsigned
    std::string emptyDraft; // an envelope alone
    std::string inbox;      // envelope and two attachments, each signed by the test PKI's agent
};

// Runs seed-documents into a portal's state directory with the test PKI; throws when it fails.
SeededDocuments seedDocuments(const std::filesystem::path& stateDir);

} // namespace testsupport
