#pragma once

#include "http/route.h"

namespace tessel::rest {

// GET ping: 204, to tell that the proxy answers.
bool ping(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
// GET version: the bare version text.
bool version(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
// GET settings: {"initial": ..., "settings": ...}.
bool getSettings(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
// POST settings: apply, re-create the crypto engine, save, then report an engine failure.
bool saveSettings(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);

} // namespace tessel::rest
