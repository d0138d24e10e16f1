#pragma once

#include <QString>
#include <QUuid>

namespace tessel::process {

enum ProcessState : qint32 { Waiting = 0, Running = 1, Failed = 2, Done = 3 };

// A snapshot of one background process, as the REST API reports it.
struct ProcessStatus
{
    QUuid processId;
    qint32 state = Waiting;
    QString desc;
    QString stage;
    QString errorMsg;
    QUuid documentId;
};

} // namespace tessel::process
