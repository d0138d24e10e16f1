#pragma once

#include "interfaces/temp_storage.h"

#include <QRecursiveMutex>

#include <chrono>
#include <functional>
#include <map>

namespace tessel::rest {

class TempStorageImpl : public TempStorage
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr std::chrono::hours defaultMaxAge{1};
    static constexpr qint64 defaultMaxTotalBytes = 2LL << 30;

    explicit TempStorageImpl(std::chrono::seconds maxAge = defaultMaxAge, qint64 maxTotalBytes = defaultMaxTotalBytes,
                             Clock clock = std::chrono::steady_clock::now);

    void remove(const QUuid& id) override;
    TempEntryPtr get(const QUuid& id) override;
    TempEntryPtr find(const QUuid& id) override;
    QUuid add(const TempEntryPtr& entry) override;

private:
    struct Stored
    {
        TempEntryPtr entry;
        std::chrono::steady_clock::time_point added;
        qint64 size;
    };

    // Drops what is too old, then the oldest while the total is too large; an entry still in use
    // stays on disk until its last user lets go of it.
    void expire();

    const std::chrono::seconds m_maxAge;
    const qint64 m_maxTotalBytes;
    const Clock m_clock;
    QRecursiveMutex m_mutex;
    std::map<QUuid, Stored> m_entries;
    qint64 m_totalBytes = 0;
};

} // namespace tessel::rest
