#include "process/process_info.h"

#include <Poco/Exception.h>

#include <QMutexLocker>

namespace tessel::process {

ProcessInfo::ProcessInfo(std::shared_ptr<Process> process, const QUuid& processId)
    : m_process(std::move(process)), m_processId(processId)
{}

ProcessStatus ProcessInfo::status() const
{
    ProcessStatus status = m_process->info();
    status.processId = m_processId;
    QMutexLocker lock(&m_failureMutex);
    if (status.state != Failed && m_state == Failed) {
        status.state = Failed;
        status.errorMsg = m_errorMsg;
    }
    return status;
}

void ProcessInfo::setError(const std::exception& error)
{
    const auto* pocoError = dynamic_cast<const Poco::Exception*>(&error);
    setError(pocoError ? QString::fromStdString(pocoError->displayText()) : QString::fromUtf8(error.what()));
}

void ProcessInfo::setError(const QString& text)
{
    QMutexLocker lock(&m_failureMutex);
    m_state = Failed;
    m_errorMsg = text;
}

} // namespace tessel::process
