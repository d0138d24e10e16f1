#include "docs/store/storage_impl.h"

#include "docs/fesexchange/from_xml.h"
#include "docs/store/storage_query.h"
#include "interfaces/rest_client.h"
#include "tessel/filefuncs.h"
#include "tessel/log_record.h"
#include "tessel/uuid_text.h"

#include <QJsonObject>

namespace tessel::docs {

StorageImpl::StorageImpl(StorageType kind) : m_kind(kind) {}

std::future<DocumentFiles> StorageImpl::getDocument(const QString& sessionId, const QUuid& documentId)
{
    return std::async(std::launch::async, [this, sessionId, documentId] {
        ensureComplete(sessionId, documentId);
        return DocumentFiles(listParts(documentId, false), listParts(documentId, true));
    });
}

std::future<QList<QFileInfo>> StorageImpl::getDocumentParts(const QString& sessionId, const QUuid& documentId)
{
    return std::async(std::launch::async, [this, sessionId, documentId] {
        ensureComplete(sessionId, documentId);
        return listParts(documentId, false);
    });
}

std::future<QFileInfo> StorageImpl::getDocumentPart(const QString& sessionId, const QUuid& documentId, int part,
                                                    bool forceUpdate)
{
    return std::async(std::launch::async, [this, sessionId, documentId, part, forceUpdate] {
        if (forceUpdate || !partPath(documentId, part, false).exists()) {
            LOG_DEBUG << "Updating document " << uuidToText(documentId);
            getDocumentParts(sessionId, documentId).get();
        }
        const QFileInfo path = partPath(documentId, part, false);
        return path.exists() ? path : QFileInfo();
    });
}

fesexchange::DocumentTransfer StorageImpl::readDocumentTransfer(const QUuid& documentId) const
{
    const QFileInfo envelope = partPath(documentId, 0, false);
    if (!envelope.exists())
        throw utils::exception(
            QStringLiteral("readDocumentTransfer(): Can't find document id=%1 in cache").arg(uuidToText(documentId)));
    return fesexchange::readDocumentTransfer(envelope.filePath());
}

bool StorageImpl::isComplete(const QUuid& documentId) const
{
    if (!partPath(documentId, 0, false).exists())
        return false;
    bool signedParts = false;
    for (const fesexchange::AttachmentT& attachment : readDocumentTransfer(documentId).attachments) {
        const int part = static_cast<int>(attachment.index);
        if (!partPath(documentId, part, false).exists())
            return false;
        if (attachment.hash) {
            signedParts = true;
            if (!partPath(documentId, part, true).exists())
                return false;
        }
    }
    return !signedParts || partPath(documentId, 0, true).exists();
}

void StorageImpl::setDirectory(const QString& path) { m_directory.setPath(path); }

QFileInfo StorageImpl::partPath(const QUuid& documentId, int part, bool sign) const
{
    return QFileInfo(m_directory,
                     uuidToText(documentId)
                         + QStringLiteral(".%1%2").arg(part).arg(sign ? QStringLiteral(".sign") : QString()));
}

QList<QFileInfo> StorageImpl::listParts(const QUuid& documentId, bool sign) const
{
    QList<QFileInfo> parts;
    for (int part = 0;; ++part) {
        const QFileInfo path = partPath(documentId, part, sign);
        if (!path.exists())
            return parts;
        parts.append(path);
    }
}

QString StorageImpl::storageUrl(const QUuid& documentId) const
{
    return QStringLiteral("/storage/") + storageTypeWord(m_kind) + QLatin1Char('/') + uuidToText(documentId);
}

void StorageImpl::ensureComplete(const QString& sessionId, const QUuid& documentId)
{
    bool complete = false;
    try {
        complete = isComplete(documentId);
    } catch (const utils::exception& error) {
        // Kept, an envelope that cannot be read would fail every request for the document.
        const QFileInfo envelope = partPath(documentId, 0, false);
        LOG_WARN << QStringLiteral("Discarding the unreadable envelope \"%1\": %2")
                        .arg(envelope.filePath(), QString::fromUtf8(error.what()));
        QFile::remove(envelope.filePath());
    }
    if (!complete)
        download(sessionId, documentId);
}

QList<QFileInfo> StorageImpl::download(const QString& sessionId, const QUuid& documentId)
{
    const auto envelopeArchive = utils::mkTemp(utils::storagePrefix);
    RestClient::instance()->getFile(sessionId, storageUrl(documentId) + storageQuery(true, false, false, {}),
                                    QFileInfo(envelopeArchive->fileName()), QJsonObject());
    extractFullDocument(QFileInfo(envelopeArchive->fileName()), documentId);
    const bool withSigns = readDocumentTransfer(documentId).signed_;

    const auto documentArchive = utils::mkTemp(utils::storagePrefix);
    RestClient::instance()->getFile(sessionId, storageUrl(documentId) + storageQuery(true, withSigns, true, {}),
                                    QFileInfo(documentArchive->fileName()), QJsonObject());
    return extractFullDocument(QFileInfo(documentArchive->fileName()), documentId);
}

QList<QFileInfo> StorageImpl::extractFullDocument(const QFileInfo& archive, const QUuid& documentId)
{
    const auto extracted = utils::mkTempDir(utils::storagePrefix);
    QList<QFileInfo> files = utils::unzip(archive, extracted->path());
    for (QFileInfo& file : files) {
        // Entries are named by part: "0", "1", "2.sign", ...
        const QFileInfo destination(m_directory, uuidToText(documentId) + QLatin1Char('.') + file.fileName());
        utils::copyFile(file, destination);
        QFile::remove(file.filePath());
        file = destination;
        LOG_DEBUG << "Unzipped to " << destination.filePath();
    }
    return files;
}

} // namespace tessel::docs
