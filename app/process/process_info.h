#pragma once

#include "interfaces/process.h"

#include <QMutex>

#include <exception>
#include <memory>

namespace tessel::process {

// The manager's entry for one process: the process, its id and the failure the worker recorded.
class ProcessInfo
{
public:
    ProcessInfo(std::shared_ptr<Process> process, const QUuid& processId);

    const std::shared_ptr<Process>& process() const { return m_process; }
    const QUuid& processId() const { return m_processId; }

    // The process's own status with the entry's id, and the recorded failure over a state that is not 2.
    ProcessStatus status() const;
    void setError(const std::exception& error);
    // For a failure that brings no text of its own.
    void setError(const QString& text);

private:
    const std::shared_ptr<Process> m_process;
    const QUuid m_processId;
    // Written by the worker, read by server threads.
    mutable QMutex m_failureMutex;
    qint32 m_state = Waiting;
    QString m_errorMsg;
};

} // namespace tessel::process
