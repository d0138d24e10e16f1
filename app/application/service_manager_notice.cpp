#include "application/service_manager_notice.h"

#include "tessel/log_record.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tessel {
namespace {

void warnNotTold(const std::string& state)
{
    LOG_WARN << QStringLiteral("Cannot tell the service manager \"%1\": %2")
                    .arg(QString::fromStdString(state), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

void notifyServiceManager(const std::string& state)
{
    const char* path = std::getenv("NOTIFY_SOCKET");
    if (!path || !*path)
        return;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t length = std::strlen(path);
    if (length >= sizeof address.sun_path) {
        LOG_WARN
            << QStringLiteral("The service manager's socket name is too long: %1").arg(QString::fromLocal8Bit(path));
        return;
    }
    std::memcpy(address.sun_path, path, length);
    // A leading "@" names a socket of the abstract namespace.
    if (address.sun_path[0] == '@')
        address.sun_path[0] = '\0';
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        warnNotTold(state);
        return;
    }
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length);
    if (::sendto(fd, state.data(), state.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&address), size) < 0)
        warnNotTold(state);
    ::close(fd);
}

} // namespace tessel
