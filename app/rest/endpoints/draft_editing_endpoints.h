#pragma once

#include "http/route.h"

namespace tessel::rest {

// PUT drafts/<id>: the draft object whose "attachments" holds the attachment edits; plays them,
// uploads the draft and answers the portal's answer.
bool saveDraft(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);

} // namespace tessel::rest
