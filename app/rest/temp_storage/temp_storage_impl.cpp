#include "rest/temp_storage/temp_storage_impl.h"

#include "tessel/exception.h"

namespace tessel::rest {

TempEntryPtr TempStorageImpl::find(const QUuid& id)
{
    QMutexLocker locker(&m_mutex);
    const auto it = m_entries.find(id);
    return it == m_entries.end() ? TempEntryPtr() : it->second;
}

void TempStorageImpl::remove(const QUuid& id)
{
    TempEntryPtr released;
    QMutexLocker locker(&m_mutex);
    const auto it = m_entries.find(id);
    if (it != m_entries.end()) {
        released = it->second; // the file goes once the lock is free
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
    QMutexLocker locker(&m_mutex);
    m_entries.emplace(id, entry);
    return id;
}

} // namespace tessel::rest
