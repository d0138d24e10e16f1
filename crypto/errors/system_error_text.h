#pragma once

#include <QString>

#include <cstdint>

namespace nxcrypto {

class ErrorTable;

// The process-wide table of platform error codes, filled once on first use.
const ErrorTable& systemErrorTable();

// The text of a platform error code: its number, names and description.
QString systemErrorText(uint32_t code);
// systemErrorText of the calling thread's last platform error.
QString lastErrorText();

} // namespace nxcrypto
