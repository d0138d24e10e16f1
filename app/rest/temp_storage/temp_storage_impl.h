#pragma once

#include "interfaces/temp_storage.h"

#include <QRecursiveMutex>

#include <map>

namespace tessel::rest {

class TempStorageImpl : public TempStorage
{
public:
    void remove(const QUuid& id) override;
    TempEntryPtr get(const QUuid& id) override;
    TempEntryPtr find(const QUuid& id) override;
    QUuid add(const TempEntryPtr& entry) override;

private:
    QRecursiveMutex m_mutex;
    std::map<QUuid, TempEntryPtr> m_entries;
};

} // namespace tessel::rest
