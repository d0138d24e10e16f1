#pragma once

#include "interfaces/storage.h"

#include <QByteArray>

namespace tessel::docs {

// The drafts store: a working copy of the portal's drafts that the proxy edits, signs and uploads.
// It never counts a draft as complete, so every fetch downloads it again.
class DraftsStorage : public virtual Storage
{
public:
    // Replaces part n; its signature file is left as it is.
    virtual void putPart(const QUuid& draftId, int part, const QFileInfo& source, bool removeSource) = 0;
    // Stores signature i as part i's (i from 1) and marks the envelope signed with the hashes.
    virtual void putAttachmentsSigns(const QUuid& draftId, const QList<QFileInfo>& signs,
                                     const QList<QByteArray>& hashes) = 0;
    virtual void putEnvelopeSign(const QUuid& draftId, const QFileInfo& sign) = 0;
    // Uploads the envelope with its signature and those of its attachments.
    virtual std::future<void> sendDraftSigns(const QString& sessionId, const QUuid& draftId) = 0;
    virtual std::future<void> sendDraft(const QString& sessionId, const QUuid& draftId) = 0;
    // Removes the envelope and the parts it lists, with their signatures.
    virtual void removeDocument(const QUuid& draftId) = 0;
    virtual void removePart(const QUuid& draftId, int part) = 0;
    // The part takes its signature along; without one, the target is left with none.
    virtual void movePart(const QUuid& draftId, int from, int to) = 0;
    // The part numbers in use, 1 counted even when the draft has no body; fetches a missing envelope.
    virtual qint64 partsCount(const QString& sessionId, const QUuid& draftId) = 0;
    // Fetches a missing envelope.
    virtual int attachmentsCount(const QString& sessionId, const QUuid& draftId) = 0;

    // The drafts kind's store of Storage::holder.
    static DraftsStorage* instance();
};

inline DraftsStorage* DraftsStorage::instance()
{
    auto* drafts = dynamic_cast<DraftsStorage*>(Storage::instance(StorageType::Drafts));
    if (!drafts)
        throw utils::exception(QStringLiteral("The drafts store is no drafts store"));
    return drafts;
}

} // namespace tessel::docs
