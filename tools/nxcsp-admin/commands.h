#pragma once

#include <string>
#include <vector>

namespace nxcsp_admin {

// Each runs one "container ..." or "store ..." command; arguments start after the
// command word. Failures throw CommandError or UsageError (admin_common.h).
void runContainerCommand(const std::vector<std::string>& arguments);
void runStoreCommand(const std::vector<std::string>& arguments);

} // namespace nxcsp_admin
