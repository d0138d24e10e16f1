#include "docs/sign/read_only_files.h"

#include "tessel/exception.h"

#include <QFile>

namespace tessel::docs {

ReadOnlyFiles::ReadOnlyFiles(const QVector<QFileInfo>& files)
{
    for (const QFileInfo& info : files) {
        auto file = QSharedPointer<QFile>::create(info.filePath());
        if (!file->open(QIODevice::ReadOnly))
            throw utils::exception(
                QStringLiteral("SignEngine: Error opening file \"%1\": %2").arg(info.filePath(), file->errorString()));
        m_files.append(file);
    }
}

QList<QIODevice*> ReadOnlyFiles::devices() const
{
    QList<QIODevice*> devices;
    for (const QSharedPointer<QFile>& file : m_files)
        devices.append(file.data());
    return devices;
}

} // namespace tessel::docs
