#include "process/manager_impl.h"

#include "tessel/log_record.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>

namespace tessel::process {
namespace {

constexpr std::chrono::milliseconds idlePoll(50);

void logFailure(const ProcessInfo& entry)
{
    const ProcessStatus status = entry.status();
    LOG_ERROR << QStringLiteral("Error in background process \"%1\": %2").arg(status.desc, status.errorMsg);
}

} // namespace

ManagerImpl::ManagerImpl() : m_worker(&ManagerImpl::worker, this) {}

ManagerImpl::~ManagerImpl()
{
    // A detached worker would outlive the manager it reads at process exit.
    m_stopping = true;
    m_worker.join();
}

QUuid ManagerImpl::add(const std::shared_ptr<Process>& process)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const QUuid id = QUuid::createUuid();
    m_entries.append(std::make_shared<ProcessInfo>(process, id));
    updateStickyState();
    return id;
}

std::shared_ptr<Process> ManagerImpl::find(const QUuid& processId)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (const Entry& entry : m_entries) {
        if (entry->processId() == processId)
            return entry->process();
    }
    return nullptr;
}

QList<ProcessStatus> ManagerImpl::list()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    QList<ProcessStatus> statuses;
    for (const Entry& entry : m_entries)
        statuses.append(entry->status());
    return statuses;
}

template <class Predicate>
void ManagerImpl::removeEntries(Predicate shouldRemove)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    // A failure or run that the removal takes away is still reported once by takeOverallState.
    updateStickyState();
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), shouldRemove), m_entries.end());
    updateStickyState();
}

void ManagerImpl::remove(const QList<QUuid>& processIds)
{
    removeEntries([&](const Entry& entry) {
        return processIds.contains(entry->processId()) && entry->status().state != Running;
    });
}

void ManagerImpl::clearFinished()
{
    removeEntries([](const Entry& entry) {
        const qint32 state = entry->status().state;
        return state == Failed || state == Done;
    });
}

qint32 ManagerImpl::overallState()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    qint32 overall = Waiting;
    for (const Entry& entry : m_entries) {
        const qint32 state = entry->status().state;
        if (state == Failed)
            return Failed;
        if (state == Running)
            overall = Running;
    }
    return overall;
}

qint32 ManagerImpl::takeOverallState()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const qint32 sticky = m_stickyState;
    const qint32 current = overallState();
    if (sticky == Waiting)
        return current;
    m_stickyState = current;
    return sticky;
}

void ManagerImpl::updateStickyState()
{
    const qint32 current = overallState();
    if (current != Waiting)
        m_stickyState = current;
}

ManagerImpl::Entry ManagerImpl::nextWaiting()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (const Entry& entry : m_entries) {
        if (entry->status().state == Waiting)
            return entry;
    }
    return nullptr;
}

void ManagerImpl::worker()
{
    try {
        LOG_INFO << "Starting process manager...";
        while (!m_stopping) {
            const Entry entry = nextWaiting();
            if (!entry) {
                std::this_thread::sleep_for(idlePoll);
                continue;
            }
            try {
                handle(entry);
            } catch (const std::exception& error) {
                entry->setError(error);
                logFailure(*entry);
            } catch (...) {
                // Left to the outer guard it would end the worker, and every later process would wait for ever.
                entry->setError(QCoreApplication::translate("ProcessManager", "Unknown error"));
                logFailure(*entry);
            }
        }
    } catch (const std::exception& error) {
        LOG_FATAL << QStringLiteral("Crash in process manager: %1").arg(QString::fromUtf8(error.what()));
    } catch (...) {
        LOG_FATAL << "Unknown crash in process manager";
    }
}

void ManagerImpl::handle(const Entry& entry)
{
    LOG_DEBUG << QStringLiteral("Starting background process \"%1\"").arg(entry->status().desc);
    entry->process()->run();
    LOG_DEBUG << QStringLiteral("Finishing background process \"%1\"").arg(entry->status().desc);
}

} // namespace tessel::process
