#pragma once

#include "command.h"

#include <string>
#include <vector>

namespace testsupport {

// curl with the GOST engine, trusting the test PKI's CAs; at most five minutes.
CommandResult curl(const std::vector<std::string>& arguments, const OutputSink& sink = nullptr);
// The same, presenting the test user's client certificate.
CommandResult curlAsUser(std::vector<std::string> arguments, const OutputSink& sink = nullptr);

} // namespace testsupport
