#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The provider's files: where containers and stores live and how they are
// written. Failures set the last error (last_error.h).
namespace nxcrypto {
namespace csp {

// The user's provider root: $NXCSP_ROOT, else $XDG_DATA_HOME/nxcsp, else
// ~/.local/share/nxcsp. The machine key set: $NXCSP_MACHINE_ROOT, else /var/lib/nxcsp.
std::string providerRoot(bool machineKeyset = false);

// A container or store name as a single file name: '%', '/', control characters
// and a leading '.' become %XX; everything else (Cyrillic too) stays as it is.
// Gives an empty text for a name that cannot be stored (empty or too long).
std::string escapeName(const std::string& name);
std::string unescapeName(const std::string& fileName);

bool readFile(const std::string& path, std::vector<uint8_t>* bytes);

// Writes through a temporary file in the same directory and renames it into place,
// so that readers never see a half-written file.
bool writeFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes, unsigned mode = 0644);

bool makeDirectories(const std::string& path, unsigned mode = 0755);
bool removeFile(const std::string& path);

// Names of the entries of a directory (no "." or ".."), sorted; a missing
// directory gives an empty list.
bool listDirectory(const std::string& path, std::vector<std::string>* names);

} // namespace csp
} // namespace nxcrypto
