#include "process/commit_data_row.h"

#include "tessel/exception.h"
#include "tessel/uuid_text.h"

#include <QCoreApplication>
#include <QJsonObject>

#include <cmath>
#include <limits>

namespace tessel::process {
namespace {

// A missing key or a non-number is 0; a fraction is cut off. A number beyond int is refused,
// since converting it would be undefined.
int integerOf(const QJsonValue& value)
{
    const double number = std::trunc(value.toDouble());
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        throw utils::exception(
            QCoreApplication::translate("DraftUpdate", "Update draft request holds a number out of range: %1")
                .arg(value.toDouble()));
    return static_cast<int>(number);
}

QList<QUuid> uuidsOf(const QJsonValue& value)
{
    QList<QUuid> ids;
    for (const QJsonValue& element : value.toArray())
        ids.append(uuidFromText(element.toString()));
    return ids;
}

CommitDataRow rowOf(const QJsonObject& commit)
{
    if (!commit.contains(QLatin1String("action")))
        throw utils::exception(
            QCoreApplication::translate("DraftUpdate", "Update draft request contains no action tag"));
    CommitDataRow row;
    row.action = integerOf(commit.value(QLatin1String("action")));
    if (row.action < CommitDataRow::Remove || row.action > CommitDataRow::SaveZip)
        throw utils::exception(QCoreApplication::translate("DraftUpdate", "Unknown commit action %1").arg(row.action));
    if (row.action != CommitDataRow::RemoveTempFiles)
        row.attachIdx = integerOf(commit.value(QLatin1String("attachIdx")));
    switch (row.action) {
    case CommitDataRow::Move:
        row.moveTo = integerOf(commit.value(QLatin1String("moveTo")));
        break;
    case CommitDataRow::SaveScan:
        row.images = uuidsOf(commit.value(QLatin1String("images")));
        break;
    case CommitDataRow::RemoveTempFiles:
        row.files = uuidsOf(commit.value(QLatin1String("files")));
        break;
    case CommitDataRow::SavePdf:
    case CommitDataRow::SaveZip:
        row.file = uuidFromText(commit.value(QLatin1String("file")).toString());
        break;
    default:
        break;
    }
    return row;
}

} // namespace

QList<CommitDataRow> parseCommitData(const QJsonArray& commits)
{
    QList<CommitDataRow> rows;
    for (const QJsonValue& commit : commits)
        rows.append(rowOf(commit.toObject()));
    return rows;
}

} // namespace tessel::process
