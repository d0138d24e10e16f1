#pragma once

#include "process/document_process.h"

#include <functional>
#include <future>

// A document process that waits inside run() until the test releases it, then ends as the test asked.
class ScriptedProcess : public tessel::process::DocumentProcess
{
public:
    // Runs after the release; throwing fails the process.
    using Ending = std::function<void(ScriptedProcess&)>;

    // A process that marks itself running on entry, as real ones do; set marksRunning false for one that does not.
    explicit ScriptedProcess(Ending ending, bool marksRunning = true);

    void run() override;

    void release() { m_release.set_value(); }
    // Waits up to five seconds for run() to have begun.
    bool waitStarted() const;

    void finish() { setState(tessel::process::Done); }
    void reachStage(const QString& stage) { setStage(stage); }

private:
    Ending m_ending;
    bool m_marksRunning;
    std::promise<void> m_started;
    std::shared_future<void> m_startedSignal;
    std::promise<void> m_release;
    std::shared_future<void> m_released;
};
