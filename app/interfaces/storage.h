#pragma once

#include "tessel/singleton.h"

#include "docs/fesexchange/document_transfer.h"
#include "interfaces/storage_type.h"

#include <QFileInfo>
#include <QList>
#include <QString>
#include <QUuid>

#include <future>
#include <utility>

namespace tessel::docs {

// The part files and the signature files of a document, each from number 0 on.
using DocumentFiles = std::pair<QList<QFileInfo>, QList<QFileInfo>>;

// A local store of one kind of document, in front of the portal's storage service.
// Files are id.0 (the envelope), id.n (part n) and id.n.sign (the signature of part n).
// Asynchronous operations run on a pool thread; get() rethrows their failure.
class Storage
{
public:
    virtual ~Storage() = default;

    // Fetches the document first when the local copy is not complete.
    virtual std::future<DocumentFiles> getDocument(const QString& sessionId, const QUuid& documentId) = 0;
    virtual std::future<QList<QFileInfo>> getDocumentParts(const QString& sessionId, const QUuid& documentId) = 0;
    // An empty file info when the part does not exist, even after fetching.
    virtual std::future<QFileInfo> getDocumentPart(const QString& sessionId, const QUuid& documentId, int part,
                                                   bool forceUpdate) = 0;
    virtual fesexchange::DocumentTransfer readDocumentTransfer(const QUuid& documentId) const = 0;
    virtual bool isComplete(const QUuid& documentId) const = 0;

    // Points the store at its directory; reinit calls it.
    virtual void setDirectory(const QString& path) = 0;

    // Creates storageDir and its drafts, inbox and outbox directories and points the
    // stores at them; throws when one cannot be made.
    static void reinit(const QString& storageDir);
    static Storage* instance(StorageType kind) { return holder(kind).instance(); }
    // The holder of each kind's store: the composition root installs their factories, the drafts
    // one making a DraftsStorage; tests install their doubles.
    static Singleton<Storage>& holder(StorageType kind)
    {
        static Singleton<Storage> drafts;
        static Singleton<Storage> inbox;
        static Singleton<Storage> outbox;
        switch (kind) {
        case StorageType::Drafts:
            return drafts;
        case StorageType::Inbox:
            return inbox;
        case StorageType::Outbox:
            return outbox;
        }
        throw unknownStorageType(kind);
    }
};

} // namespace tessel::docs
