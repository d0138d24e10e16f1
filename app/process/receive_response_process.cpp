#include "process/receive_response_process.h"

#include "interfaces/manager.h"
#include "interfaces/rest_client.h"

#include "crypto/records/sign_info.h"
#include "docs/reports/sign_confirmation.h"
#include "interfaces/sign_engine.h"
#include "interfaces/storage.h"

#include <QCoreApplication>

namespace tessel::process {
namespace {

// What the portal records for a check: 1 for a confirmed document, 2 otherwise.
unsigned signStateId(const nxcrypto::SignInfo& info) { return docs::isConfirmed(info) ? 1 : 2; }

} // namespace

QUuid ReceiveResponseProcess::start(const QString& sessionId, const QUuid& documentId, const QString& desc)
{
    return Manager::instance()->add(std::make_shared<ReceiveResponseProcess>(sessionId, documentId, desc));
}

void ReceiveResponseProcess::run()
{
    docs::Storage* inbox = docs::Storage::instance(docs::StorageType::Inbox);
    setState(Running);
    setStage(QCoreApplication::translate("ReceiveResponseProcess", "Receive document from server"));
    const docs::DocumentFiles files = inbox->getDocument(sessionId(), documentId()).get();

    setStage(QCoreApplication::translate("ReceiveResponseProcess", "Verify sign"));
    // Fails on a missing or malformed envelope before anything is checked.
    inbox->readDocumentTransfer(documentId());
    const nxcrypto::SignInfoPtr info =
        docs::SignEngine::instance()->verify(false, QVector<QFileInfo>(files.first.begin(), files.first.end()),
                                             QVector<QFileInfo>(files.second.begin(), files.second.end()), QDateTime());

    setStage(QCoreApplication::translate("ReceiveResponseProcess", "Update sign state"));
    RestClient::instance()->setSignState(sessionId(), documentId(), signStateId(*info), QDateTime::currentDateTime());

    setState(Done);
    setStage(QCoreApplication::translate("ReceiveResponseProcess", "Document received"));
}

} // namespace tessel::process
