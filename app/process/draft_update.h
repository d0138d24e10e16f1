#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

namespace tessel::process {

// Plays the attachment edits on the local draft, uploads the draft to the portal, refreshes the
// local copy and then releases the temporary uploads the edits name. Gives the portal's answer.
// Runs in the caller's thread.
QJsonValue updateDraft(const QString& sessionId, const QUuid& draftId, const QJsonObject& draft,
                       const QJsonArray& commits);

} // namespace tessel::process
