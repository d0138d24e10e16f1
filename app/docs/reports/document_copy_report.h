#pragma once

#include "docs/reports/document_copy_data.h"

#include <QString>

namespace tessel::docs {

// The HTML copy of an electronic document with its signature data and the transfer agent's certification.
QString documentCopyReport(const DocumentCopyData& data);

} // namespace tessel::docs
