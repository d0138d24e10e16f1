#pragma once

#include "tessel/exception.h"

#include <QFileInfo>
#include <QList>
#include <QSharedPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <memory>

namespace tessel::utils {

enum FileType { Jpeg = 0, Png = 1, Gif = 2, Tiff = 3, Pdf = 4, Unknown = 5 };

// The prefixes of temporary files and directories, one per use.
inline const QString storagePrefix = QStringLiteral("kmtStorage");
inline const QString scanPrefix = QStringLiteral("kmtScan");
inline const QString tempStoragePrefix = QStringLiteral("kmtTempStorage");
inline const QString signPrefix = QStringLiteral("kmtSign");

// In the temporary directory, named "<prefix>.<process id>.<random>"; removed from disk when
// the last holder lets go.
QSharedPointer<QTemporaryFile> mkTemp(const QString& prefix);
QSharedPointer<QTemporaryDir> mkTempDir(const QString& prefix);

// Takes over a written temporary file: its descriptor is closed (QTemporaryFile::close() keeps
// it open) and the file is removed from disk when the last holder of the result lets go.
std::shared_ptr<void> closedTemporary(QSharedPointer<QTemporaryFile> file);

// Removes the temporary files and directories of this user's earlier runs whose process has
// ended (killed before it could clean up); returns how many went.
int removeTemporaryLeftovers();

// Replaces the destination atomically: readers see the old file or the new one, never a part.
void copyFile(const QFileInfo& source, const QFileInfo& destination);

// Extracted files in ascending byte order of their entry names. Entries that would
// land outside the directory fail the whole extraction.
QList<QFileInfo> unzip(const QFileInfo& archive, const QString& directory);

// Entry i is names[i], or the file's own name when there are fewer names than files.
void zip(const QFileInfo& archive, const QList<QFileInfo>& files, const QStringList& names);

FileType detectFileType(const QString& path);
bool isPdfFile(const QString& path);
bool isImageFile(const QString& path);

} // namespace tessel::utils
