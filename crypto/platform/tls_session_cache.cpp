#include "crypto/platform/tls_session_cache.h"

#include <algorithm>

namespace nxcrypto {
namespace csp {

TlsSessionCache& TlsSessionCache::instance()
{
    static TlsSessionCache cache;
    return cache;
}

SslSessionPtr TlsSessionCache::find(const std::string& key)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = position(key);
    if (it == sessions_.end() || !SSL_SESSION_up_ref(it->second.get()))
        return nullptr;
    return SslSessionPtr(it->second.get());
}

void TlsSessionCache::store(const std::string& key, SslSessionPtr session)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = position(key);
    if (it != sessions_.end())
        sessions_.erase(it);
    sessions_.emplace_front(key, std::move(session));
    if (sessions_.size() > kMaxSessions)
        sessions_.pop_back();
}

std::deque<TlsSessionCache::Entry>::iterator TlsSessionCache::position(const std::string& key)
{
    return std::find_if(sessions_.begin(), sessions_.end(), [&key](const Entry& entry) { return entry.first == key; });
}

} // namespace csp
} // namespace nxcrypto
