#pragma once

#include "tessel/singleton.h"

#include "interfaces/storage_type.h"

#include <QList>
#include <QString>
#include <QUuid>

namespace tessel::docs {

// A scanned attachment is one ZIP archive of page images ("page00000.img", ...); the web client
// edits it page by page through the temporary storage.
class ScanManager
{
public:
    virtual ~ScanManager() = default;

    // Unpacks the pages of part n into the temporary storage; their ids in page order.
    virtual QList<QUuid> openScan(const QString& sessionId, StorageType kind, const QUuid& documentId,
                                  quint64 attachment) = 0;
    // Packs the temporary-storage images, in order, into part n of the draft; null ids are skipped.
    // A draft that is not held here is fetched first.
    virtual void saveScan(const QString& sessionId, const QUuid& documentId, quint64 attachment,
                          const QList<QUuid>& images) = 0;

    static ScanManager* instance() { return holder().instance(); }
    // The holder behind instance(): the composition root installs its factory, tests their doubles.
    static Singleton<ScanManager>& holder()
    {
        static Singleton<ScanManager> object;
        return object;
    }
};

} // namespace tessel::docs
