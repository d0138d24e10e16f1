#pragma once

#include "interfaces/process_status.h"

#include <QJsonObject>

namespace tessel::process {

// The status as the REST API reports it; "errorMsg" only for a failed process.
QJsonObject toJson(const ProcessStatus& status);

} // namespace tessel::process
