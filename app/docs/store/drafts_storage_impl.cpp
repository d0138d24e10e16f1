#include "docs/store/drafts_storage_impl.h"

#include "docs/fesexchange/from_xml.h"
#include "docs/fesexchange/xml_helpers.h"
#include "interfaces/rest_client.h"
#include "tessel/filefuncs.h"

#include <QSaveFile>
#include <QTextStream>

namespace tessel::docs {
namespace {

// The whole content, so that an empty element or one that starts with a comment gets the text too.
void setText(QDomElement& element, const QString& text)
{
    while (!element.firstChild().isNull())
        element.removeChild(element.firstChild());
    element.appendChild(element.ownerDocument().createTextNode(text));
}

// The elements the envelope reader takes as the attachments, in document order.
QList<QDomElement> attachmentElements(const QDomElement& root)
{
    QList<QDomElement> elements;
    const QDomElement attachments = root.firstChildElement(QStringLiteral("attachments"));
    for (QDomElement element = attachments.firstChildElement(QStringLiteral("attachment")); !element.isNull();
         element = element.nextSiblingElement(QStringLiteral("attachment")))
        elements.append(element);
    return elements;
}

void setHash(QDomElement& attachment, const QByteArray& hash)
{
    const QString text = QString::fromLatin1(hash.toBase64());
    QDomElement element = attachment.firstChildElement(QStringLiteral("hash"));
    if (!element.isNull()) {
        setText(element, text);
        return;
    }
    element = attachment.ownerDocument().createElement(QStringLiteral("hash"));
    setText(element, text);
    const QDomElement type = attachment.firstChildElement(QStringLiteral("type"));
    if (type.isNull())
        attachment.appendChild(element);
    else
        attachment.insertAfter(element, type);
}

void removeIfPresent(const QFileInfo& file) { QFile::remove(file.filePath()); }

} // namespace

DraftsStorageImpl::DraftsStorageImpl() : StorageImpl(StorageType::Drafts) {}

fesexchange::DocumentTransfer DraftsStorageImpl::readDocumentTransfer(const QUuid& draftId) const
{
    return fesexchange::readDocumentTransfer(partPath(draftId, 0, false).filePath());
}

bool DraftsStorageImpl::isComplete(const QUuid&) const { return false; }

void DraftsStorageImpl::putPart(const QUuid& draftId, int part, const QFileInfo& source, bool removeSource)
{
    utils::copyFile(source, partPath(draftId, part, false));
    if (removeSource)
        QFile::remove(source.filePath());
}

void DraftsStorageImpl::putAttachmentsSigns(const QUuid& draftId, const QList<QFileInfo>& signs,
                                            const QList<QByteArray>& hashes)
{
    if (signs.size() != hashes.size())
        throw utils::exception(
            QStringLiteral("putAttachmentsSigns(): Mismatch in number of signs (%1) and number of hashes (%2)")
                .arg(signs.size())
                .arg(hashes.size()));
    for (int part = 1; part <= signs.size(); ++part) {
        const QFileInfo attachment = partPath(draftId, part, false);
        if (!attachment.exists())
            throw utils::exception(
                QStringLiteral("putAttachmentsSigns(): Attachment %1 doesn't exists").arg(attachment.fileName()));
    }
    // The envelope is checked before any signature is stored.
    const QDomDocument envelope = modifyEnvelope(draftId, hashes);
    for (int part = 1; part <= signs.size(); ++part)
        utils::copyFile(signs.at(part - 1), partPath(draftId, part, true));
    replaceEnvelope(draftId, envelope);
}

void DraftsStorageImpl::putEnvelopeSign(const QUuid& draftId, const QFileInfo& sign)
{
    utils::copyFile(sign, partPath(draftId, 0, true));
}

std::future<void> DraftsStorageImpl::sendDraftSigns(const QString& sessionId, const QUuid& draftId)
{
    return std::async(std::launch::async, [this, sessionId, draftId] {
        QVector<QFileInfo> signs{partPath(draftId, 0, true)};
        for (const fesexchange::AttachmentT& attachment : readDocumentTransfer(draftId).attachments)
            signs.append(partPath(draftId, static_cast<int>(attachment.index), true));
        for (const QFileInfo& sign : signs) {
            if (!sign.exists())
                throw utils::exception(
                    QStringLiteral("sendDraftSigns(): Can't find sign file \"%1\"").arg(sign.filePath()));
        }
        RestClient::instance()->sendSigns(sessionId, draftId, partPath(draftId, 0, false), signs);
    });
}

std::future<void> DraftsStorageImpl::sendDraft(const QString& sessionId, const QUuid& draftId)
{
    return std::async(std::launch::async,
                      [sessionId, draftId] { RestClient::instance()->sendDraft(sessionId, draftId); });
}

void DraftsStorageImpl::removeDocument(const QUuid& draftId)
{
    if (!partPath(draftId, 0, false).exists())
        return;
    for (const fesexchange::AttachmentT& attachment : readDocumentTransfer(draftId).attachments)
        removePart(draftId, static_cast<int>(attachment.index));
    removePart(draftId, 0);
}

void DraftsStorageImpl::removePart(const QUuid& draftId, int part)
{
    removeIfPresent(partPath(draftId, part, false));
    removeIfPresent(partPath(draftId, part, true));
}

void DraftsStorageImpl::movePart(const QUuid& draftId, int from, int to)
{
    // Copying a part onto itself and removing the source would lose it.
    if (from == to)
        return;
    utils::copyFile(partPath(draftId, from, false), partPath(draftId, to, false));
    removeIfPresent(partPath(draftId, from, false));
    const QFileInfo sign = partPath(draftId, from, true);
    const QFileInfo targetSign = partPath(draftId, to, true);
    if (sign.exists()) {
        utils::copyFile(sign, targetSign);
        removeIfPresent(sign);
    } else {
        // The target's signature belongs to the bytes it held before.
        removeIfPresent(targetSign);
    }
}

qint64 DraftsStorageImpl::partsCount(const QString& sessionId, const QUuid& draftId)
{
    for (int part = 0;; ++part) {
        if (partPath(draftId, part, false).exists())
            continue;
        if (part == 0) {
            fetchEnvelope(sessionId, draftId);
            if (!partPath(draftId, 0, false).exists())
                return 0;
        } else if (part != 1) { // a draft may lack its body, part 1, and still have attachments
            return part;
        }
    }
}

int DraftsStorageImpl::attachmentsCount(const QString& sessionId, const QUuid& draftId)
{
    if (!partPath(draftId, 0, false).exists())
        fetchEnvelope(sessionId, draftId);
    return readDocumentTransfer(draftId).attachments.size();
}

QDomDocument DraftsStorageImpl::modifyEnvelope(const QUuid& draftId, const QList<QByteArray>& hashes) const
{
    const QString path = partPath(draftId, 0, false).filePath();
    QDomDocument envelope =
        xml::readDocument(path, QStringLiteral("Error opening envelope \"%1\" for modification: %2"),
                          QStringLiteral("Error reading envelope xml from \"%1\": %2"));

    const QDomElement root = envelope.documentElement();
    QDomElement signedElement = root.firstChildElement(QStringLiteral("signed"));
    if (signedElement.isNull())
        throw utils::exception(QStringLiteral("Error in envelope xml from \"%1\": No signed element").arg(path));
    QList<QDomElement> attachments = attachmentElements(root);
    if (attachments.size() != hashes.size())
        throw utils::exception(
            QStringLiteral(
                "Error in envelope xml from \"%1\": Mismatched attachments count: in envelope %2, in storage %3")
                .arg(path)
                .arg(attachments.size())
                .arg(hashes.size()));

    setText(signedElement, QStringLiteral("true"));
    for (int i = 0; i < attachments.size(); ++i)
        setHash(attachments[i], hashes.at(i));
    return envelope;
}

void DraftsStorageImpl::replaceEnvelope(const QUuid& draftId, const QDomDocument& envelope) const
{
    // Written beside the envelope and renamed over it: a failed write leaves the old envelope whole.
    const QString path = partPath(draftId, 0, false).filePath();
    QSaveFile file(path);
    auto writeError = [&] {
        return utils::exception(QStringLiteral("Error writing envelope \"%1\": %2").arg(path, file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw writeError();
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    envelope.save(stream, 1, QDomNode::EncodingFromTextStream);
    stream.flush();
    if (stream.status() != QTextStream::Ok || !file.commit())
        throw writeError();
}

void DraftsStorageImpl::fetchEnvelope(const QString& sessionId, const QUuid& draftId)
{
    getDocumentPart(sessionId, draftId, 0, true).get();
}

} // namespace tessel::docs
