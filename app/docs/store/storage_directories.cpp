#include "interfaces/storage.h"

#include "tessel/exception.h"
#include "tessel/log_record.h"

#include <QDir>

namespace tessel::docs {
namespace {

const StorageType allKinds[] = {StorageType::Drafts, StorageType::Inbox, StorageType::Outbox};

} // namespace

void Storage::reinit(const QString& storageDir)
{
    const QDir base(storageDir);
    QStringList names{QStringLiteral(".")};
    for (const StorageType kind : allKinds)
        names.append(storageTypeWord(kind));
    for (const QString& name : names) {
        const bool isBase = name == QLatin1String(".");
        const QString path = isBase ? base.path() : base.filePath(name);
        // A file in the directory's place is no store either.
        if (QFileInfo(path).isDir() || QDir().mkdir(path))
            continue;
        const QString message = QStringLiteral("Could not create storage in \"%1\". Exiting...")
                                    .arg(isBase ? base.path() : base.path() + QDir::separator() + name);
        LOG_FATAL << message;
        throw utils::exception(message);
    }
    for (const StorageType kind : allKinds)
        Storage::instance(kind)->setDirectory(base.absoluteFilePath(storageTypeWord(kind)));
}

} // namespace tessel::docs
