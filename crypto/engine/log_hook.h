#pragma once

#include <QString>

#include <functional>

namespace nxcrypto {

enum class LogLevel { Debug, Info, Warn, Error };

// The crypto library logs through a function the application sets (none by
// default: records are dropped). Set it once at start-up, before the library is used.
using LogHook = std::function<void(LogLevel level, const QString& text)>;
void setLogHook(LogHook hook);

// Writes one record through the hook, if one is set.
void log(LogLevel level, const QString& text);

} // namespace nxcrypto
