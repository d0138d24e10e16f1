#include "rest/endpoints/process_endpoints.h"

#include "rest/conventions/errors.h"
#include "rest/conventions/request_input.h"
#include "rest/conventions/respond.h"
#include "rest/conventions/response_output.h"

#include "interfaces/manager.h"
#include "process/process_status_json.h"
#include "tessel/uuid_text.h"

#include <QJsonArray>

namespace tessel::rest {

using process::Manager;
using process::ProcessStatus;

bool listProcesses(Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        QJsonArray statuses;
        for (const ProcessStatus& status : Manager::instance()->list())
            statuses.append(process::toJson(status));
        sendJson(response, statuses);
    });
}

bool processState(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        parseJsonBody(request);
        const QUuid id = uuidFromText(pathSegment(requestPath(request), 0));
        if (id.isNull())
            throw bad_request();
        // The state the list shows: a run that threw is failed there, while the process itself
        // still says it runs, and a page polling for the end would wait for ever.
        for (const ProcessStatus& status : Manager::instance()->list()) {
            if (status.processId == id) {
                sendJson(response, status.state);
                return;
            }
        }
        throw not_found();
    });
}

bool overallProcessState(Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] { sendJson(response, Manager::instance()->takeOverallState()); });
}

bool clearProcesses(Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        Manager::instance()->clearFinished();
        sendNoContent(response);
    });
}

} // namespace tessel::rest
