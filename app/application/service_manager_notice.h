#pragma once

#include <string>

namespace tessel {

// Tells the service manager that started the proxy (systemd, through the datagram socket named
// by $NOTIFY_SOCKET) a state such as "READY=1"; without that socket it does nothing.
void notifyServiceManager(const std::string& state);

} // namespace tessel
