#pragma once

#include "tessel/singleton.h"

#include "interfaces/process.h"

#include <QList>

#include <memory>

namespace tessel::process {

// Keeps the background processes and runs them one at a time, in the order they were added.
class Manager
{
public:
    virtual ~Manager() = default;

    // Queues the process under a new id.
    virtual QUuid add(const std::shared_ptr<Process>& process) = 0;
    virtual std::shared_ptr<Process> find(const QUuid& processId) = 0;
    virtual QList<ProcessStatus> list() = 0;
    // Running processes stay.
    virtual void remove(const QList<QUuid>& processIds) = 0;
    // Removes done and failed processes.
    virtual void clearFinished() = 0;
    // 2 if any failed, else 1 if any runs, else 0.
    virtual qint32 overallState() = 0;
    // The overall state, except that a 1 or 2 seen after the last change is reported once.
    virtual qint32 takeOverallState() = 0;

    // Creating the manager starts its worker thread.
    static Manager* instance() { return holder().instance(); }
    // The holder behind instance(): the composition root installs its factory, tests their doubles.
    static Singleton<Manager>& holder()
    {
        static Singleton<Manager> object;
        return object;
    }
    // Ends the manager, letting a running process finish, for the end of main: left to process
    // exit, its worker would end after OpenSSL's exit handler, which then no longer frees the
    // worker's per-thread OpenSSL state.
    static void shutdown() { holder().destroy(); }
};

} // namespace tessel::process
