#include "crypto/errors/key_import_error.h"

namespace nxcrypto {

KeyImportError::KeyImportError(KeyImportProblem problem, const QString& message) : Exception(message), problem_(problem)
{}

} // namespace nxcrypto
