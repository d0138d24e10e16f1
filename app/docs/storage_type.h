#pragma once

#include "tessel/exception.h"

#include <QString>

namespace tessel::docs {

enum class StorageType { Drafts = 1, Inbox = 2, Outbox = 3 };

// "drafts", "inbox" or "outbox": the store's directory name and its word in portal URLs.
QString storageTypeWord(StorageType kind);

// The error for a value that names no store.
utils::exception unknownStorageType(StorageType kind);

} // namespace tessel::docs
