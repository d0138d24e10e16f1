#include "rest/temp_storage/temp_storage_impl.h"

#include "tessel/exception.h"
#include "tessel/log_record.h"

#include <algorithm>
#include <vector>

namespace tessel::rest {

TempStorageImpl::TempStorageImpl(std::chrono::seconds maxAge, qint64 maxTotalBytes, Clock clock)
    : m_maxAge(maxAge), m_maxTotalBytes(maxTotalBytes), m_clock(std::move(clock))
{}

TempEntryPtr TempStorageImpl::find(const QUuid& id)
{
    QMutexLocker locker(&m_mutex);
    expire();
    const auto it = m_entries.find(id);
    return it == m_entries.end() ? TempEntryPtr() : it->second.entry;
}

void TempStorageImpl::remove(const QUuid& id)
{
    TempEntryPtr released;
    QMutexLocker locker(&m_mutex);
    const auto it = m_entries.find(id);
    if (it != m_entries.end()) {
        released = it->second.entry; // the file goes once the lock is free
        m_totalBytes -= it->second.size;
        m_entries.erase(it);
    }
}

TempEntryPtr TempStorageImpl::get(const QUuid& id)
{
    TempEntryPtr entry = find(id);
    if (!entry)
        throw utils::exception(QStringLiteral("Temporary file not found: %1").arg(id.toString()));
    return entry;
}

QUuid TempStorageImpl::add(const TempEntryPtr& entry)
{
    const QUuid id = QUuid::createUuid();
    const qint64 size = entry->file.size();
    QMutexLocker locker(&m_mutex);
    m_entries.emplace(id, Stored{entry, m_clock(), size});
    m_totalBytes += size;
    expire();
    return id;
}

void TempStorageImpl::expire()
{
    const auto now = m_clock();
    std::vector<std::pair<std::chrono::steady_clock::time_point, QUuid>> byAge;
    for (const auto& [id, stored] : m_entries)
        byAge.emplace_back(stored.added, id);
    std::sort(byAge.begin(), byAge.end());
    std::vector<TempEntryPtr> released;
    for (const auto& [added, id] : byAge) {
        if (now - added < m_maxAge && m_totalBytes <= m_maxTotalBytes)
            break;
        const auto it = m_entries.find(id);
        released.push_back(it->second.entry);
        m_totalBytes -= it->second.size;
        m_entries.erase(it);
        LOG_DEBUG << QStringLiteral("Temporary file %1 expired").arg(id.toString());
    }
}

} // namespace tessel::rest
