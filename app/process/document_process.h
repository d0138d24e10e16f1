#pragma once

#include "interfaces/process.h"

#include <QMutex>

namespace tessel::process {

// A process that works on one document on behalf of one browser session.
class DocumentProcess : public Process
{
public:
    DocumentProcess(const QString& sessionId, const QUuid& documentId, const QString& desc);

    ProcessStatus info() const override;

protected:
    void setState(qint32 state);
    void setStage(const QString& stage);

    const QString& sessionId() const { return m_sessionId; }
    const QUuid& documentId() const { return m_documentId; }

private:
    const QString m_sessionId;
    const QUuid m_documentId;
    // The worker writes the status while server threads read it.
    mutable QMutex m_statusMutex;
    ProcessStatus m_status;
};

} // namespace tessel::process
