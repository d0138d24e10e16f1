#pragma once

#include "crypto/records/sign_info.h"
#include "interfaces/storage_type.h"

#include <QDateTime>
#include <QString>
#include <QUuid>

namespace tessel::rest {

// Brings the document into its store when the local copy is not complete and checks its parts
// against their signatures with the sign engine; a null checkTime checks as of now.
nxcrypto::SignInfoPtr checkStoredDocument(docs::StorageType kind, const QString& sessionId, const QUuid& documentId,
                                          const QDateTime& checkTime);

} // namespace tessel::rest
