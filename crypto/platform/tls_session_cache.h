#pragma once

#include "crypto/platform/tls_ssl_ptr.h"

#include <deque>
#include <mutex>
#include <string>
#include <utility>

namespace nxcrypto {
namespace csp {

// TLS sessions of this process kept for resumption, so that a client that opens a new
// connection for every request does not pay a full GOST handshake each time.
class TlsSessionCache
{
public:
    static TlsSessionCache& instance();

    // A new reference to the newest session kept under key, or null.
    SslSessionPtr find(const std::string& key);
    void store(const std::string& key, SslSessionPtr session);

private:
    using Entry = std::pair<std::string, SslSessionPtr>;

    std::deque<Entry>::iterator position(const std::string& key);

    static constexpr std::size_t kMaxSessions = 64;

    std::mutex mutex_;
    std::deque<Entry> sessions_;
};

} // namespace csp
} // namespace nxcrypto
