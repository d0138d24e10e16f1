#include "docs/scans/scan_manager_impl.h"

#include "interfaces/drafts_storage.h"
#include "interfaces/temp_storage.h"
#include "tessel/filefuncs.h"
#include "tessel/log_record.h"
#include "tessel/uuid_text.h"

#include <limits>
#include <memory>
#include <vector>

namespace tessel::docs {
namespace {

int partNumber(quint64 attachment)
{
    if (attachment > static_cast<quint64>(std::numeric_limits<int>::max()))
        throw utils::exception(QStringLiteral("There is no attachment # %1").arg(attachment));
    return static_cast<int>(attachment);
}

} // namespace

QString ScanManagerImpl::pageName(int position)
{
    return QStringLiteral("page%1.img").arg(position, 5, 10, QLatin1Char('0'));
}

QList<QUuid> ScanManagerImpl::openScan(const QString& sessionId, StorageType kind, const QUuid& documentId,
                                       quint64 attachment)
{
    LOG_DEBUG << QStringLiteral("Open scan # %1 for document # %2").arg(attachment).arg(uuidToText(documentId));
    const QFileInfo part =
        Storage::instance(kind)->getDocumentPart(sessionId, documentId, partNumber(attachment), false).get();
    const QSharedPointer<QTemporaryDir> directory = utils::mkTempDir(utils::scanPrefix);
    // Every page's entry shares the directory: it goes when the last page is released.
    const std::shared_ptr<void> pages(directory.data(), [directory](void*) {});
    QList<QUuid> ids;
    for (const QFileInfo& page : utils::unzip(part, directory->path())) {
        auto entry = std::make_shared<rest::TempEntry>();
        entry->file = page;
        entry->owner = pages;
        ids.append(rest::TempStorage::instance()->add(entry));
    }
    return ids;
}

void ScanManagerImpl::saveScan(const QString& sessionId, const QUuid& documentId, quint64 attachment,
                               const QList<QUuid>& images)
{
    LOG_DEBUG << QStringLiteral("Saving scan # %1 for document # %2").arg(attachment).arg(uuidToText(documentId));
    const int part = partNumber(attachment);
    // The entries are held until the archive is written, so no page can vanish meanwhile.
    std::vector<rest::TempEntryPtr> entries;
    QList<QFileInfo> files;
    QStringList names;
    for (const QUuid& id : images) {
        if (id.isNull())
            continue;
        entries.push_back(rest::TempStorage::instance()->get(id));
        files.append(entries.back()->file);
        names.append(pageName(names.size()));
    }
    // Saving a draft whose envelope is not here downloads it afresh, which would replace the scan.
    DraftsStorage::instance()->getDocumentPart(sessionId, documentId, 0, false).get();
    const QSharedPointer<QTemporaryFile> archive = utils::mkTemp(utils::scanPrefix);
    utils::zip(QFileInfo(archive->fileName()), files, names);
    DraftsStorage::instance()->putPart(documentId, part, QFileInfo(archive->fileName()), true);
}

} // namespace tessel::docs
