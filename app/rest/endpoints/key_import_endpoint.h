#pragma once

#include "http/route.h"

namespace tessel::rest {

// A key brought as a PKCS#12 file (multipart: file, password, name, pin) becomes a new key
// container. Answers the container ({"id", "name", "certificate"}); a refused file answers
// {"error": why, "message": text} with 400, or 409 when the container exists.
bool importKey(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);

} // namespace tessel::rest
