#pragma once

#include <QFileInfo>
#include <QList>
#include <QSharedPointer>
#include <QVector>

class QFile;
class QIODevice;

namespace tessel::docs {

// Files opened for reading, all or none: the first one that does not open raises
// "SignEngine: Error opening file ..." and closes those opened before it.
class ReadOnlyFiles
{
public:
    explicit ReadOnlyFiles(const QVector<QFileInfo>& files);

    // Valid while this object lives.
    QList<QIODevice*> devices() const;

private:
    QVector<QSharedPointer<QFile>> m_files;
};

} // namespace tessel::docs
