#pragma once

#include "http/route.h"

namespace tessel::rest {

// GET inbox/<id>/reassure: the copy of an incoming electronic document with its signature data, as HTML.
bool showDocumentCopy(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);

} // namespace tessel::rest
