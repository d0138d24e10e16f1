#pragma once

#include "process/document_process.h"

#include <QFileInfo>
#include <QList>

namespace tessel::process {

// Fetches a draft afresh, signs its parts and then its envelope, uploads the signatures and sends it.
class SendDraft : public DocumentProcess
{
public:
    SendDraft(const QString& sessionId, const QString& password, const QUuid& documentId, const QString& desc);

    // Queues a new process with the manager; gives its process id.
    static QUuid start(const QString& sessionId, const QString& password, const QUuid& documentId, const QString& desc);

    void run() override;

private:
    void signParts(const QList<QFileInfo>& parts);

    // Dropped once the process has run: the entry stays listed until the user clears it.
    QString m_password;
};

} // namespace tessel::process
