#pragma once

#include "http/route.h"

#include "interfaces/storage_type.h"

namespace tessel::rest {

// GET <kind>/<id>/attachments: the document's attachment records, all but the one of its body.
RouteHandler attachmentList(docs::StorageType kind);
// GET <kind>/<id>/attachments/<n>: attachment n as a file under its download name.
RouteHandler attachmentDownload(docs::StorageType kind);

} // namespace tessel::rest
