#include "docs/store/storage_query.h"

#include <QStringList>

namespace tessel::docs {
namespace {

QString flag(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

} // namespace

QString storageQuery(bool envelope, bool signs, bool attachments, const QVector<quint32>& indices)
{
    QString query = QStringLiteral("?envelope=%1&signs=%2").arg(flag(envelope), flag(signs));
    if (!attachments)
        return query;
    if (indices.isEmpty())
        return query + QStringLiteral("&allAttachments=true");
    QStringList numbers;
    for (const quint32 index : indices)
        numbers.append(QString::number(index));
    return query + QStringLiteral("&attachmentsIndices=") + numbers.join(QLatin1Char(','));
}

} // namespace tessel::docs
