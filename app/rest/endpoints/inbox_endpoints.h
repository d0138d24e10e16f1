#pragma once

#include "http/route.h"

namespace tessel::rest {

// GET inbox/<id>: queues receiving the document; answers the process id.
bool receiveDocument(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
// GET inbox/<id>/viewReport: part 2 of the document as "report.docx".
bool viewReport(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);

} // namespace tessel::rest
