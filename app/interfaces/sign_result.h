#pragma once

#include <QByteArray>
#include <QFileInfo>
#include <QSharedPointer>
#include <QVector>

namespace tessel::docs {

// Detached signatures of a document's data files, in the data files' order. Each
// signature is a temporary file that stays on disk while some copy of its entry is
// alive: copy or move the bytes to their place before letting the result go.
struct SignResult
{
    QVector<QSharedPointer<QFileInfo>> signFiles;
    QVector<QByteArray> hashes; // digest of each data file
};

} // namespace tessel::docs
