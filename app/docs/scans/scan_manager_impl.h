#pragma once

#include "interfaces/scan_manager.h"

namespace tessel::docs {

class ScanManagerImpl : public ScanManager
{
public:
    QList<QUuid> openScan(const QString& sessionId, StorageType kind, const QUuid& documentId,
                          quint64 attachment) override;
    void saveScan(const QString& sessionId, const QUuid& documentId, quint64 attachment,
                  const QList<QUuid>& images) override;

    // "page%1.img" with the position in at least five zero-padded digits, so that the names
    // sort in page order.
    static QString pageName(int position);
};

} // namespace tessel::docs
