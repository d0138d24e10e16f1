#include "process/process_status_json.h"

#include "tessel/uuid_text.h"

namespace tessel::process {

QJsonObject toJson(const ProcessStatus& status)
{
    QJsonObject json{
        {QStringLiteral("processId"), uuidToText(status.processId)},
        {QStringLiteral("desc"), status.desc},
        {QStringLiteral("state"), status.state},
        {QStringLiteral("stage"), status.stage},
        {QStringLiteral("documentId"), uuidToText(status.documentId)},
    };
    if (status.state == Failed)
        json.insert(QStringLiteral("errorMsg"), status.errorMsg);
    return json;
}

} // namespace tessel::process
