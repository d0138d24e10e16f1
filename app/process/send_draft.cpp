#include "process/send_draft.h"

#include "interfaces/manager.h"

#include "interfaces/drafts_storage.h"
#include "interfaces/sign_engine.h"
#include "tessel/exception.h"

#include <QCoreApplication>

#include <memory>

namespace tessel::process {

using docs::DraftsStorage;
using docs::SignEngine;
using docs::SignResult;

SendDraft::SendDraft(const QString& sessionId, const QString& password, const QUuid& documentId, const QString& desc)
    : DocumentProcess(sessionId, documentId, desc), m_password(password)
{}

QUuid SendDraft::start(const QString& sessionId, const QString& password, const QUuid& documentId, const QString& desc)
{
    return Manager::instance()->add(std::make_shared<SendDraft>(sessionId, password, documentId, desc));
}

void SendDraft::run()
{
    const std::unique_ptr<QString, void (*)(QString*)> forgetPassword(&m_password, [](QString* password) {
        password->fill(QChar(0));
        password->clear();
    });
    DraftsStorage* drafts = DraftsStorage::instance();
    setState(Running);
    setStage(QCoreApplication::translate("SendDraft", "Update draft from server"));
    const QList<QFileInfo> parts = drafts->getDocumentParts(sessionId(), documentId()).get();

    setStage(QCoreApplication::translate("SendDraft", "Sign draft"));
    if (parts.size() < 2)
        throw utils::exception(QCoreApplication::translate("SendDraft", "Can't sign draft without document body"));
    signParts(parts);

    setStage(QCoreApplication::translate("SendDraft", "Send signs"));
    drafts->sendDraftSigns(sessionId(), documentId()).get();

    setStage(QCoreApplication::translate("SendDraft", "Send signed document"));
    drafts->sendDraft(sessionId(), documentId()).get();

    setState(Done);
    setStage(QCoreApplication::translate("SendDraft", "Document sent"));
}

// The envelope is signed last, after it took the parts' hashes, so its signature covers them.
void SendDraft::signParts(const QList<QFileInfo>& parts)
{
    DraftsStorage* drafts = DraftsStorage::instance();
    SignEngine* signer = SignEngine::instance();
    const QVector<QFileInfo> attachments(parts.begin() + 1, parts.end());
    signer->sign(m_password, attachments, [&](const SignResult& signed_) {
        QList<QFileInfo> signs;
        for (const QSharedPointer<QFileInfo>& sign : signed_.signFiles)
            signs.append(*sign);
        drafts->putAttachmentsSigns(documentId(), signs,
                                    QList<QByteArray>(signed_.hashes.begin(), signed_.hashes.end()));

        const SignResult envelope = signer->sign(m_password, QVector<QFileInfo>{parts.first()});
        drafts->putEnvelopeSign(documentId(), *envelope.signFiles.first());
    });
}

} // namespace tessel::process
