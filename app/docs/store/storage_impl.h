#pragma once

#include "interfaces/storage.h"

#include <QDir>

namespace tessel::docs {

// The inbox and outbox stores: a cache that fetches a document once, when it is not complete.
class StorageImpl : public virtual Storage
{
public:
    explicit StorageImpl(StorageType kind);

    std::future<DocumentFiles> getDocument(const QString& sessionId, const QUuid& documentId) override;
    std::future<QList<QFileInfo>> getDocumentParts(const QString& sessionId, const QUuid& documentId) override;
    std::future<QFileInfo> getDocumentPart(const QString& sessionId, const QUuid& documentId, int part,
                                           bool forceUpdate) override;
    fesexchange::DocumentTransfer readDocumentTransfer(const QUuid& documentId) const override;
    bool isComplete(const QUuid& documentId) const override;

    // Set at start-up, before the store is used.
    void setDirectory(const QString& path) override;

protected:
    QFileInfo partPath(const QUuid& documentId, int part, bool sign) const;

private:
    QList<QFileInfo> listParts(const QUuid& documentId, bool sign) const;
    QString storageUrl(const QUuid& documentId) const;
    // Downloads the document first when it is not complete; an envelope that cannot be read is
    // discarded and downloaded again.
    void ensureComplete(const QString& sessionId, const QUuid& documentId);
    QList<QFileInfo> download(const QString& sessionId, const QUuid& documentId);
    QList<QFileInfo> extractFullDocument(const QFileInfo& archive, const QUuid& documentId);

    QDir m_directory;
    StorageType m_kind;
};

} // namespace tessel::docs
