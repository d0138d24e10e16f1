#pragma once

#include "docs/fesexchange/attachment_t.h"

#include <QJsonObject>

namespace tessel::rest {

// {"index", "description", "type", "scan"} of one attachment, as the attachment lists show it.
QJsonObject attachmentJson(const docs::fesexchange::AttachmentT& attachment);

// The name an attachment downloads under: its file name, else "attachment." and the suffix of its type.
QString attachmentDownloadName(const docs::fesexchange::AttachmentT& attachment);

} // namespace tessel::rest
