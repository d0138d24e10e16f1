#include "crypto/engine/log_hook.h"

#include <mutex>

namespace nxcrypto {

namespace {

std::mutex& hookMutex()
{
    static std::mutex mutex;
    return mutex;
}

LogHook& currentHook()
{
    static LogHook hook;
    return hook;
}

} // namespace

void setLogHook(LogHook hook)
{
    std::lock_guard<std::mutex> lock(hookMutex());
    currentHook() = std::move(hook);
}

void log(LogLevel level, const QString& text)
{
    LogHook hook;
    {
        std::lock_guard<std::mutex> lock(hookMutex());
        hook = currentHook();
    }
    if (hook)
        hook(level, text);
}

} // namespace nxcrypto
