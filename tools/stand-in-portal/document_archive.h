#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace standin {

// Writes a ZIP of the named files of a document directory, each under its own name
// ("0", "2", "2.sign"), into archive; the files are streamed, never held whole.
void writeDocumentArchive(const std::filesystem::path& archive, const std::filesystem::path& document,
                          const std::vector<std::string>& entries);

} // namespace standin
