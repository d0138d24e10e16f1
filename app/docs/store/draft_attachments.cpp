#include "docs/store/draft_attachments.h"

#include "interfaces/drafts_storage.h"

namespace tessel::docs {

QList<QFileInfo> draftAttachmentFiles(DraftsStorage& drafts, const QString& sessionId, const QUuid& draftId)
{
    // Parts 0 and 1, the envelope and the body, are the portal's own.
    QList<QFileInfo> files;
    for (int part = 2; part < drafts.partsCount(sessionId, draftId); ++part)
        files.append(drafts.getDocumentPart(sessionId, draftId, part, false).get());
    return files;
}

} // namespace tessel::docs
