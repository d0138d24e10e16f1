#include "crypto/errors/error_table.h"

#include <QCoreApplication>

namespace nxcrypto {

void ErrorTable::addErrorText(uint32_t code, const char* name, const char* description)
{
    const QByteArray newDescription = description ? QByteArray(description) : QByteArray();
    auto it = entries_.find(code);
    if (it == entries_.end()) {
        entries_.emplace(code, Entry{QList<QByteArray>{QByteArray(name)}, newDescription});
        return;
    }
    it->second.names.append(QByteArray(name));
    if (it->second.description.isEmpty() && !newDescription.isEmpty())
        it->second.description = newDescription;
}

const ErrorTable::Entry* ErrorTable::find(uint32_t code) const
{
    const auto it = entries_.find(code);
    return it == entries_.end() ? nullptr : &it->second;
}

QString ErrorTable::text(uint32_t code) const
{
    QString result =
        QCoreApplication::translate("nxcrypto", "Code: %1 (hex 0x%2).").arg(code).arg(code, 8, 16, QLatin1Char('0'));
    const Entry* entry = find(code);
    if (!entry)
        return result;
    QStringList names;
    for (const QByteArray& name : entry->names)
        names.append(QString::fromLatin1(name));
    result +=
        QLatin1Char('\n') + QCoreApplication::translate("nxcrypto", "Name: %1.").arg(names.join(QStringLiteral(", ")));
    if (!entry->description.isEmpty())
        result += QLatin1Char('\n')
            + QCoreApplication::translate("nxcrypto", "Description: %1.").arg(QString::fromUtf8(entry->description));
    return result;
}

} // namespace nxcrypto
