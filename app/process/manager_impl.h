#pragma once

#include "interfaces/manager.h"
#include "process/process_info.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace tessel::process {

class ManagerImpl : public Manager
{
public:
    // Starts the worker; a thread that cannot be started throws.
    ManagerImpl();
    // Lets a running process finish, then ends the worker.
    ~ManagerImpl() override;

    QUuid add(const std::shared_ptr<Process>& process) override;
    std::shared_ptr<Process> find(const QUuid& processId) override;
    QList<ProcessStatus> list() override;
    void remove(const QList<QUuid>& processIds) override;
    void clearFinished() override;
    qint32 overallState() override;
    qint32 takeOverallState() override;

private:
    using Entry = std::shared_ptr<ProcessInfo>;

    void worker();
    void handle(const Entry& entry);
    Entry nextWaiting();
    template <class Predicate>
    void removeEntries(Predicate shouldRemove);
    void updateStickyState();

    std::recursive_mutex m_mutex;
    QList<Entry> m_entries;
    qint32 m_stickyState = Waiting;
    std::atomic<bool> m_stopping{false};
    std::thread m_worker;
};

} // namespace tessel::process
