#pragma once

#include "http/route.h"

namespace tessel::rest {

// The "storage" route of the temporary storage: POST a multipart upload (the ids of its files
// as JSON), GET <id> a stored file, DELETE with the id as its body.
bool tempStorageRequest(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);

} // namespace tessel::rest
