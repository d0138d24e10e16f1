#pragma once

#include "http/route.h"

namespace tessel::rest {

// POST drafts/send {"uids": id or [ids], "pwd": password}: one sending process per draft, in order.
bool sendDrafts(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
// DELETE drafts/<id>: at the portal first, then the local copy.
bool deleteDraft(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);

} // namespace tessel::rest
