#pragma once

#include "tessel/exception.h"

#include <QString>

namespace tessel::docs {

enum class StorageType { Drafts = 1, Inbox = 2, Outbox = 3 };

// The error for a value that names no store.
inline utils::exception unknownStorageType(StorageType kind)
{
    return utils::exception(QStringLiteral("Unknown storage type %1").arg(static_cast<int>(kind)));
}

// "drafts", "inbox" or "outbox": the store's directory name and its word in portal URLs.
inline QString storageTypeWord(StorageType kind)
{
    switch (kind) {
    case StorageType::Drafts:
        return QStringLiteral("drafts");
    case StorageType::Inbox:
        return QStringLiteral("inbox");
    case StorageType::Outbox:
        return QStringLiteral("outbox");
    }
    throw unknownStorageType(kind);
}

} // namespace tessel::docs
