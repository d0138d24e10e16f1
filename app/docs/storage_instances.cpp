#include "docs/drafts_storage_impl.h"

#include "tessel/exception.h"
#include "tessel/log_record.h"
#include "tessel/singleton.h"

#include <QDir>

namespace tessel::docs {
namespace {

Singleton<DraftsStorageImpl>& draftsHolder()
{
    static Singleton<DraftsStorageImpl> holder([] { return new DraftsStorageImpl; });
    return holder;
}

StorageImpl* storeOf(StorageType kind)
{
    static Singleton<StorageImpl> inbox([] { return new StorageImpl(StorageType::Inbox); });
    static Singleton<StorageImpl> outbox([] { return new StorageImpl(StorageType::Outbox); });
    switch (kind) {
    case StorageType::Drafts: return draftsHolder().instance();
    case StorageType::Inbox: return inbox.instance();
    case StorageType::Outbox: return outbox.instance();
    }
    throw unknownStorageType(kind);
}

const StorageType allKinds[] = {StorageType::Drafts, StorageType::Inbox, StorageType::Outbox};

} // namespace

Storage* Storage::instance(StorageType kind)
{
    return storeOf(kind);
}

DraftsStorage* DraftsStorage::instance()
{
    return draftsHolder().instance();
}

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
        storeOf(kind)->setDirectory(base.absoluteFilePath(storageTypeWord(kind)));
}

} // namespace tessel::docs
