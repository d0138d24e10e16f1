#pragma once

#include "http/route.h"

#include "interfaces/storage_type.h"

namespace tessel::rest {

// GET inbox|outbox/<id>/attachments/scan/<n>: the ids of the scan's page images.
RouteHandler scanPages(docs::StorageType kind);
// POST scans {"documentId", "attachmentIdx"}: opens a draft's scan; the ids of its page images.
bool openDraftScan(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
// PUT scans {"documentId", "attachmentIdx", "images"}: the images become the draft's scan; answers null.
bool saveDraftScan(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);

} // namespace tessel::rest
