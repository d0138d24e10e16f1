#pragma once

#include "interfaces/storage.h"

#include <QString>
#include <QUuid>

namespace Poco::Net {
class HTTPServerRequest;
}

namespace tessel::rest {

// The document id k segments before the end of the request path; the null id is a bad request.
QUuid documentIdOf(const Poco::Net::HTTPServerRequest& request, int k);

// Fetches the document into the store first when the local copy is not complete.
void makeComplete(docs::Storage& store, const QString& sessionId, const QUuid& documentId);

} // namespace tessel::rest
