#pragma once

#include "docs/store/storage_impl.h"
#include "interfaces/drafts_storage.h"

#include <QDomDocument>

namespace tessel::docs {

class DraftsStorageImpl : public StorageImpl, public DraftsStorage
{
public:
    DraftsStorageImpl();

    fesexchange::DocumentTransfer readDocumentTransfer(const QUuid& draftId) const override;
    bool isComplete(const QUuid& draftId) const override;

    void putPart(const QUuid& draftId, int part, const QFileInfo& source, bool removeSource) override;
    void putAttachmentsSigns(const QUuid& draftId, const QList<QFileInfo>& signs,
                             const QList<QByteArray>& hashes) override;
    void putEnvelopeSign(const QUuid& draftId, const QFileInfo& sign) override;
    std::future<void> sendDraftSigns(const QString& sessionId, const QUuid& draftId) override;
    std::future<void> sendDraft(const QString& sessionId, const QUuid& draftId) override;
    void removeDocument(const QUuid& draftId) override;
    void removePart(const QUuid& draftId, int part) override;
    void movePart(const QUuid& draftId, int from, int to) override;
    qint64 partsCount(const QString& sessionId, const QUuid& draftId) override;
    int attachmentsCount(const QString& sessionId, const QUuid& draftId) override;

private:
    // The envelope as it will be once signed, checked against the hashes; the file is not touched.
    QDomDocument modifyEnvelope(const QUuid& draftId, const QList<QByteArray>& hashes) const;
    void replaceEnvelope(const QUuid& draftId, const QDomDocument& envelope) const;
    void fetchEnvelope(const QString& sessionId, const QUuid& draftId);
};

} // namespace tessel::docs
