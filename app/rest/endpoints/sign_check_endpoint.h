#pragma once

#include "http/route.h"

#include "interfaces/storage_type.h"

namespace tessel::rest {

// GET inbox|outbox/<id>/sign: the verification report of the document's signatures as HTML.
// A confirmed incoming document is also reported to the portal.
RouteHandler showSign(docs::StorageType kind);

} // namespace tessel::rest
