#pragma once

#include "process/document_process.h"

namespace tessel::process {

// Brings an incoming document and its signatures into the inbox, checks them and tells the portal the outcome.
class ReceiveResponseProcess : public DocumentProcess
{
public:
    using DocumentProcess::DocumentProcess;

    // Queues a new process with the manager; gives its process id.
    static QUuid start(const QString& sessionId, const QUuid& documentId, const QString& desc);

    void run() override;
};

} // namespace tessel::process
