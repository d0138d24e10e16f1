#pragma once

#include "route.h"

namespace tessel {

// Answers 501 "Not implemented": the stand-in for handlers that are still to come.
bool notImplemented(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);

} // namespace tessel
