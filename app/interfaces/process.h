#pragma once

#include "interfaces/process_status.h"

namespace tessel::process {

// A long operation run in the background by the process manager.
class Process
{
public:
    virtual ~Process() = default;

    virtual ProcessStatus info() const = 0;
    // Runs on the manager's worker thread; failure is reported by throwing.
    virtual void run() = 0;
};

} // namespace tessel::process
