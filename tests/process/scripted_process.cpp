#include "scripted_process.h"

#include <chrono>

ScriptedProcess::ScriptedProcess(Ending ending, bool marksRunning)
    : DocumentProcess(QStringLiteral("session"), QUuid::createUuid(),
                      QStringLiteral("Scripted # %1").arg(QUuid::createUuid().toString())),
      m_ending(std::move(ending)),
      m_marksRunning(marksRunning),
      m_startedSignal(m_started.get_future().share()),
      m_released(m_release.get_future().share())
{}

void ScriptedProcess::run()
{
    if (m_marksRunning)
        setState(tessel::process::Running);
    m_started.set_value();
    // Bounded, so a failed test cannot leave the worker stuck here.
    m_released.wait_for(std::chrono::seconds(10));
    m_ending(*this);
}

bool ScriptedProcess::waitStarted() const
{
    return m_startedSignal.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
}
