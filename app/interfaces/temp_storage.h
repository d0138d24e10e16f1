#pragma once

#include "tessel/singleton.h"

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

// Files uploaded by the browser or unpacked from scans, kept under fresh ids for a while: an
// entry goes after an hour, and the oldest go while all of them together are too large.
class TempStorage
{
public:
    virtual ~TempStorage() = default;

    virtual void remove(const QUuid& id) = 0;
    // Throws "Temporary file not found: %1" for an unknown id.
    virtual TempEntryPtr get(const QUuid& id) = 0;
    // Null for an unknown id.
    virtual TempEntryPtr find(const QUuid& id) = 0;
    virtual QUuid add(const TempEntryPtr& entry) = 0;

    static TempStorage* instance() { return holder().instance(); }
    // The holder behind instance(): the composition root installs its factory, tests their doubles.
    static Singleton<TempStorage>& holder()
    {
        static Singleton<TempStorage> object;
        return object;
    }
};

} // namespace tessel::rest
