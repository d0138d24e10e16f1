#include "process/draft_update.h"

#include "process/commit_data_row.h"

#include "interfaces/drafts_storage.h"
#include "interfaces/rest_client.h"
#include "interfaces/scan_manager.h"
#include "interfaces/temp_storage.h"
#include "tessel/filefuncs.h"
#include "tessel/log_record.h"
#include "tessel/uuid_text.h"

#include <QCoreApplication>

namespace tessel::process {
namespace {

QString exceptionText(const char* text) { return QCoreApplication::translate("DraftUpdate", text); }

QFileInfo uploadedFile(const QUuid& id) { return rest::TempStorage::instance()->get(id)->file; }

// Nothing is played when one row is bad: a PDF row must name a PDF, and no part number may be
// negative (such a file is never listed, so the part would be lost).
void validateCommitData(const QList<CommitDataRow>& rows, const QUuid& draftId)
{
    for (const CommitDataRow& row : rows) {
        for (const std::optional<int>& part : {row.attachIdx, row.moveTo}) {
            if (part.value_or(0) < 0)
                throw utils::exception(
                    exceptionText("validateCommitData(): draft %1 has no part %2").arg(uuidToText(draftId)).arg(*part));
        }
        if (row.action == CommitDataRow::SavePdf && !utils::isPdfFile(uploadedFile(*row.file).filePath()))
            throw utils::exception(
                exceptionText("validateCommitData(): %1 is not a PDF file.").arg(row.file->toString()));
    }
}

void playRemove(const CommitDataRow& row, const QUuid& draftId)
{
    LOG_DEBUG << QStringLiteral("playRemove(%1, %2)").arg(uuidToText(draftId)).arg(*row.attachIdx);
    docs::DraftsStorage::instance()->removePart(draftId, *row.attachIdx);
}

void playMove(const CommitDataRow& row, const QUuid& draftId)
{
    LOG_DEBUG << QStringLiteral("playMove(%1, %2, %3)").arg(uuidToText(draftId)).arg(*row.attachIdx).arg(*row.moveTo);
    docs::DraftsStorage::instance()->movePart(draftId, *row.attachIdx, *row.moveTo);
}

void playSaveScan(const CommitDataRow& row, const QString& sessionId, const QUuid& draftId)
{
    LOG_DEBUG << QStringLiteral("playSaveScan(%1, %2, %3)")
                     .arg(uuidToText(draftId))
                     .arg(*row.attachIdx)
                     .arg(row.images->size());
    docs::ScanManager::instance()->saveScan(sessionId, draftId, static_cast<quint64>(*row.attachIdx), *row.images);
}

void playRemoveTempFiles(const CommitDataRow& row)
{
    LOG_DEBUG << "playRemoveTempFiles()";
    for (const QUuid& id : *row.files)
        rest::TempStorage::instance()->remove(id);
}

void putUploadedFile(const CommitDataRow& row, const QUuid& draftId)
{
    docs::DraftsStorage::instance()->putPart(draftId, *row.attachIdx, uploadedFile(*row.file), false);
}

void playSavePdf(const CommitDataRow& row, const QUuid& draftId)
{
    LOG_DEBUG << QStringLiteral("playSavePdf(%1, %2)").arg(uuidToText(draftId)).arg(*row.attachIdx);
    putUploadedFile(row, draftId);
}

void playSaveZip(const CommitDataRow& row, const QUuid& draftId)
{
    LOG_DEBUG << QStringLiteral("playSaveZip(%1, %2)").arg(uuidToText(draftId)).arg(*row.attachIdx);
    putUploadedFile(row, draftId);
}

void play(const QList<CommitDataRow>& rows, const QString& sessionId, const QUuid& draftId)
{
    for (const CommitDataRow& row : rows) {
        switch (row.action) {
        case CommitDataRow::Remove:
            playRemove(row, draftId);
            break;
        case CommitDataRow::Move:
            playMove(row, draftId);
            break;
        case CommitDataRow::SaveScan:
            playSaveScan(row, sessionId, draftId);
            break;
        case CommitDataRow::RemoveTempFiles:
            playRemoveTempFiles(row);
            break;
        case CommitDataRow::SavePdf:
            playSavePdf(row, draftId);
            break;
        case CommitDataRow::SaveZip:
            playSaveZip(row, draftId);
            break;
        }
    }
}

} // namespace

QJsonValue updateDraft(const QString& sessionId, const QUuid& draftId, const QJsonObject& draft,
                       const QJsonArray& commits)
{
    LOG_DEBUG << QStringLiteral("Updating draft for document # %1").arg(uuidToText(draftId));
    const QList<CommitDataRow> rows = parseCommitData(commits);
    validateCommitData(rows, draftId);
    // Without a local copy the upload would carry no attachment and the portal would drop them
    // all; a copy that is there holds edits of its own (saved scans) and is kept.
    docs::DraftsStorage::instance()->getDocumentPart(sessionId, draftId, 0, false).get();
    QList<CommitDataRow> edits;
    QList<CommitDataRow> releases;
    for (const CommitDataRow& row : rows)
        (row.action == CommitDataRow::RemoveTempFiles ? releases : edits).append(row);
    play(edits, sessionId, draftId);
    const QJsonValue answer = RestClient::instance()->putDraft(sessionId, draftId, draft);
    docs::DraftsStorage::instance()->getDocumentPart(sessionId, draftId, 0, true).get();
    // The uploads are released only once the portal holds the draft.
    play(releases, sessionId, draftId);
    return answer;
}

} // namespace tessel::process
