#pragma once

#include <QJsonArray>
#include <QList>
#include <QUuid>

#include <optional>

namespace tessel::process {

// One edit of a draft's attachments, as the web client sends it on saving the draft.
struct CommitDataRow
{
    enum Action { Remove = 1, Move = 2, SaveScan = 3, RemoveTempFiles = 4, SavePdf = 5, SaveZip = 6 };

    int action = 0;
    std::optional<int> attachIdx;
    std::optional<int> moveTo;
    std::optional<QList<QUuid>> images;
    std::optional<QList<QUuid>> files;
    std::optional<QUuid> file;
};

// Each element an object with "action" 1 to 6 and the keys that action reads; throws on a
// missing or unknown action.
QList<CommitDataRow> parseCommitData(const QJsonArray& commits);

} // namespace tessel::process
