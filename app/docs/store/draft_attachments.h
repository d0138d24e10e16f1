#pragma once

#include <QFileInfo>
#include <QList>
#include <QString>
#include <QUuid>

namespace tessel::docs {

class DraftsStorage;

// The draft's attachment files, parts 2 and up, in order; fetches a draft that is not held.
QList<QFileInfo> draftAttachmentFiles(DraftsStorage& drafts, const QString& sessionId, const QUuid& draftId);

} // namespace tessel::docs
