#include "process/document_process.h"

#include <QMutexLocker>

namespace tessel::process {

DocumentProcess::DocumentProcess(const QString& sessionId, const QUuid& documentId, const QString& desc)
    : m_sessionId(sessionId), m_documentId(documentId)
{
    m_status.desc = desc;
    m_status.documentId = documentId;
}

ProcessStatus DocumentProcess::info() const
{
    QMutexLocker lock(&m_statusMutex);
    return m_status;
}

void DocumentProcess::setState(qint32 state)
{
    QMutexLocker lock(&m_statusMutex);
    m_status.state = state;
}

void DocumentProcess::setStage(const QString& stage)
{
    QMutexLocker lock(&m_statusMutex);
    m_status.stage = stage;
}

} // namespace tessel::process
