#include "docs/storage_type.h"

namespace tessel::docs {

QString storageTypeWord(StorageType kind)
{
    switch (kind) {
    case StorageType::Drafts: return QStringLiteral("drafts");
    case StorageType::Inbox: return QStringLiteral("inbox");
    case StorageType::Outbox: return QStringLiteral("outbox");
    }
    throw unknownStorageType(kind);
}

utils::exception unknownStorageType(StorageType kind)
{
    return utils::exception(QStringLiteral("Unknown storage type %1").arg(static_cast<int>(kind)));
}

} // namespace tessel::docs
