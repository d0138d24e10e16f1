#pragma once

#include "route.h"

#include <QFileInfo>
#include <QUuid>

#include <memory>

namespace tessel::rest {

// A stored file; the file stays on disk while anyone holds its entry.
struct TempEntry
{
    QFileInfo file;
    std::shared_ptr<void> owner; // the temporary object that removes the file when released
};

using TempEntryPtr = std::shared_ptr<const TempEntry>;

// Files uploaded by the browser or unpacked from scans, kept under fresh ids for the run.
class TempStorage
{
public:
    virtual ~TempStorage() = default;

    // The handler of the "storage" route.
    virtual RouteHandler handler() = 0;
    virtual void remove(const QUuid& id) = 0;
    // Throws "Temporary file not found: %1" for an unknown id.
    virtual TempEntryPtr get(const QUuid& id) = 0;
    virtual QUuid add(const TempEntryPtr& entry) = 0;

    static TempStorage* instance();
};

} // namespace tessel::rest
