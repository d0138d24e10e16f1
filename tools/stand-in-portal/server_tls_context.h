#pragma once

#include "portal_options.h"

#include <Poco/Net/Context.h>

namespace standin {

// The TLS 1.2 GOST server configuration shared by all connections. Throws std::runtime_error
// naming the file or setting that failed.
Poco::Net::Context::Ptr makeServerTlsContext(const PortalOptions& options);

} // namespace standin
