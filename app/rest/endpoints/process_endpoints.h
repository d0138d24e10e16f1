#pragma once

#include "http/route.h"

namespace tessel::rest {

// GET processes: the status of every background process, in the order they were added.
bool listProcesses(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
// GET processes/state/<id>: the process's state as the list shows it, a failed run included.
bool processState(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
// GET processes/state: the overall state, a failure or a run seen since the last change reported once.
bool overallProcessState(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
// POST processes/clear: drops done and failed processes.
bool clearProcesses(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);

} // namespace tessel::rest
