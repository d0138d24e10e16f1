#include "tessel/uuid_text.h"

namespace tessel {

QString uuidToText(const QUuid& id) { return id.toString(QUuid::WithoutBraces); }

QUuid uuidFromText(const QString& text)
{
    QString braced = text;
    if (!braced.startsWith(QLatin1Char('{')))
        braced.prepend(QLatin1Char('{'));
    if (!braced.endsWith(QLatin1Char('}')))
        braced.append(QLatin1Char('}'));
    return QUuid(braced);
}

} // namespace tessel
