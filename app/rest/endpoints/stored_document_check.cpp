#include "rest/endpoints/stored_document_check.h"

#include "interfaces/sign_engine.h"
#include "interfaces/storage.h"

namespace tessel::rest {

nxcrypto::SignInfoPtr checkStoredDocument(docs::StorageType kind, const QString& sessionId, const QUuid& documentId,
                                          const QDateTime& checkTime)
{
    const docs::DocumentFiles files = docs::Storage::instance(kind)->getDocument(sessionId, documentId).get();
    // The sign engine does not use its flag; it tells an outgoing document from an incoming one.
    return docs::SignEngine::instance()->verify(kind == docs::StorageType::Outbox,
                                                QVector<QFileInfo>(files.first.begin(), files.first.end()),
                                                QVector<QFileInfo>(files.second.begin(), files.second.end()),
                                                checkTime);
}

} // namespace tessel::rest
