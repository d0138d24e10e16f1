#pragma once

#include <string>

namespace standin {

// One line on standard error, whole even when threads write at once.
void printDiagnostic(const std::string& line);

} // namespace standin
