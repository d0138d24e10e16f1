#include "tessel/filefuncs.h"

#include "tessel/log_record.h"

#include <Poco/Delegate.h>
#include <Poco/Zip/Compress.h>
#include <Poco/Zip/Decompress.h>
#include <Poco/Zip/ZipArchive.h>
#include <Poco/Zip/ZipException.h>

#include <QDir>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace tessel::utils {
namespace {

// Collects the extractor's error messages.
class ZipErrorsHandler
{
public:
    void onError(const void*, std::pair<const Poco::Zip::ZipLocalFileHeader, const std::string>& info)
    {
        m_errors.append(QString::fromStdString(info.second));
    }

    const QStringList& errors() const { return m_errors; }

private:
    QStringList m_errors;
};

// Why an entry may not be extracted, or empty. An absolute name or one that climbs out with ".."
// would land outside the target directory; a name that no text of the file names' encoding
// spells could be neither opened nor removed by name afterwards.
QString entryFault(const std::string& name)
{
    const QByteArray bytes = QByteArray::fromStdString(name);
    const QString entry = QFile::decodeName(bytes);
    if (QFile::encodeName(entry) != bytes)
        return QStringLiteral("entry \"%1\" has a name that is no valid file name text").arg(entry);
    const QString path = QString(entry).replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.startsWith(QLatin1Char('/')) || (path.size() > 1 && path.at(1) == QLatin1Char(':'))
        || path.split(QLatin1Char('/')).contains(QStringLiteral("..")))
        return QStringLiteral("entry \"%1\" lies outside the target directory").arg(entry);
    return QString();
}

// Checks each entry again as the extractor meets it: the index read beforehand and the extractor
// walk the local headers separately, and on a broken archive they can see different entries.
class CheckingDecompress : public Poco::Zip::Decompress
{
public:
    using Poco::Zip::Decompress::Decompress;

    bool handleZipEntry(std::istream& zipStream, const Poco::Zip::ZipLocalFileHeader& header) override
    {
        const QString fault = entryFault(header.getFileName());
        if (!fault.isEmpty())
            throw Poco::Zip::ZipException(fault.toStdString());
        return Poco::Zip::Decompress::handleZipEntry(zipStream, header);
    }
};

bool hasZipSignature(std::istream& stream)
{
    char signature[4] = {};
    stream.read(signature, sizeof signature);
    stream.clear();
    stream.seekg(0);
    return std::memcmp(signature, "PK\x03\x04", 4) == 0 || std::memcmp(signature, "PK\x05\x06", 4) == 0;
}

// The fault of the first entry that may not be extracted, or empty.
QString firstEntryFault(std::istream& stream)
{
    const Poco::Zip::ZipArchive archive(stream);
    for (auto it = archive.headerBegin(); it != archive.headerEnd(); ++it) {
        const QString fault = entryFault(it->first);
        if (!fault.isEmpty())
            return fault;
    }
    return QString();
}

// The process id in the name tells a leftover of an ended run from a file in use.
QString temporaryTemplate(const QString& prefix)
{
    return QDir::tempPath() + QLatin1Char('/') + prefix + QLatin1Char('.') + QString::number(getpid())
        + QLatin1Char('.');
}

bool processRuns(qint64 pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

} // namespace

int removeTemporaryLeftovers()
{
    static const QRegularExpression name(
        QStringLiteral("^(%1|%2|%3|%4)(\\.(\\d+)\\.[A-Za-z0-9]+|\\.[A-Za-z0-9]{10}|[A-Za-z0-9]{6})$")
            .arg(storagePrefix, scanPrefix, tempStoragePrefix, signPrefix));
    int removed = 0;
    const QDir temporary(QDir::tempPath());
    for (const QFileInfo& entry :
         temporary.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QRegularExpressionMatch match = name.match(entry.fileName());
        if (!match.hasMatch() || entry.ownerId() != getuid())
            continue;
        const QString pid = match.captured(3);
        // Names without a process id are of versions before they carried one: ".<10>" files, "<6>" directories.
        if (!pid.isEmpty() && processRuns(pid.toLongLong()))
            continue;
        const bool gone = entry.isDir() && !entry.isSymLink() ? QDir(entry.filePath()).removeRecursively()
                                                              : QFile::remove(entry.filePath());
        if (gone)
            ++removed;
    }
    if (removed > 0)
        LOG_INFO << QStringLiteral("Removed %1 temporary files of earlier runs from \"%2\"")
                        .arg(removed)
                        .arg(temporary.path());
    return removed;
}

QSharedPointer<QTemporaryFile> mkTemp(const QString& prefix)
{
    auto file = QSharedPointer<QTemporaryFile>::create(temporaryTemplate(prefix) + QStringLiteral("XXXXXXXXXX"));
    if (!file->open()) {
        LOG_FATAL << QStringLiteral("Error creating temp file in \"%1\": %2").arg(QDir::tempPath(), file->errorString());
        throw exception(file->errorString());
    }
    return file;
}

std::shared_ptr<void> closedTemporary(QSharedPointer<QTemporaryFile> file)
{
    const QString path = file->fileName();
    file->setAutoRemove(false);
    file.reset();
    return std::shared_ptr<void>(nullptr, [path](void*) { QFile::remove(path); });
}

QSharedPointer<QTemporaryDir> mkTempDir(const QString& prefix)
{
    auto dir = QSharedPointer<QTemporaryDir>::create(temporaryTemplate(prefix) + QStringLiteral("XXXXXX"));
    if (!dir->isValid()) {
        LOG_FATAL << QStringLiteral("Error creating temp directory in \"%1\"").arg(QDir::tempPath());
        throw exception(QStringLiteral("Error creating temp directory"));
    }
    return dir;
}

void copyFile(const QFileInfo& source, const QFileInfo& destination)
{
    const QString from = source.filePath();
    const QString to = destination.filePath();
    auto copyError = [&](const QString& reason) {
        return exception(QStringLiteral("copyFile(): Error copying from \"%1\" to \"%2\": %3").arg(from, to, reason));
    };

    QFile input(from);
    if (!input.open(QIODevice::ReadOnly))
        throw copyError(input.errorString());

    // The copy is made beside the destination and renamed over it, which replaces it in one step.
    QTemporaryFile output(to + QStringLiteral(".XXXXXX"));
    if (!output.open()) {
        if (destination.exists())
            throw exception(QStringLiteral("copyFile(): Error removing existing file \"%1\"").arg(to));
        throw copyError(output.errorString());
    }
    char buffer[65536];
    qint64 n;
    while ((n = input.read(buffer, sizeof buffer)) > 0) {
        if (output.write(buffer, n) != n)
            throw copyError(output.errorString());
    }
    if (n < 0)
        throw copyError(input.errorString());
    if (!output.flush())
        throw copyError(output.errorString());
    output.setPermissions(input.permissions());

    const QByteArray target = QFile::encodeName(to);
    if (std::rename(QFile::encodeName(output.fileName()).constData(), target.constData()) != 0) {
        const int error = errno;
        if (destination.exists())
            throw exception(QStringLiteral("copyFile(): Error removing existing file \"%1\"").arg(to));
        throw copyError(QString::fromLocal8Bit(std::strerror(error)));
    }
    output.setAutoRemove(false);
}

QList<QFileInfo> unzip(const QFileInfo& archive, const QString& directory)
{
    const QString archivePath = archive.filePath();
    std::ifstream stream(QFile::encodeName(archivePath).toStdString(), std::ios::binary);
    if (!stream.good())
        throw exception(QStringLiteral("Error opening archive file \"%1\": %2")
                            .arg(archivePath, QString::fromLocal8Bit(std::strerror(errno))));

    auto decompressError = [&](const QString& reason) {
        return exception(QStringLiteral("Error decompressing archive \"%1\": %2").arg(archivePath, reason));
    };
    // Without this check anything that is no archive would extract to nothing, silently.
    if (!hasZipSignature(stream))
        throw decompressError(QStringLiteral("not a ZIP archive"));
    try {
        const QString fault = firstEntryFault(stream);
        if (!fault.isEmpty())
            throw decompressError(fault);
    } catch (const Poco::Exception& e) {
        throw decompressError(QString::fromStdString(e.displayText()));
    }
    stream.clear();
    stream.seekg(0);

    ZipErrorsHandler handler;
    CheckingDecompress extractor(stream, Poco::Path(QFile::encodeName(directory).toStdString()), false, true);
    LOG_DEBUG << "Unzip to " << directory;
    extractor.EError += Poco::delegate(&handler, &ZipErrorsHandler::onError);
    try {
        extractor.decompressAllFiles();
    } catch (const Poco::Exception& e) {
        throw decompressError(QString::fromStdString(e.displayText()));
    }
    if (!handler.errors().isEmpty())
        throw decompressError(handler.errors().first());

    QList<QFileInfo> files;
    const QDir target(directory);
    for (const auto& [name, path] : extractor.mapping())
        files.append(QFileInfo(target, QString::fromStdString(path.toString())));
    return files;
}

void zip(const QFileInfo& archive, const QList<QFileInfo>& files, const QStringList& names)
{
    const QString archivePath = archive.filePath();
    std::ofstream stream(QFile::encodeName(archivePath).toStdString(), std::ios::binary | std::ios::trunc);
    if (!stream.good())
        throw exception(QStringLiteral("Error creating archive file \"%1\": %2")
                            .arg(archivePath, QString::fromLocal8Bit(std::strerror(errno))));
    Poco::Zip::Compress writer(stream, true, false);
    for (int i = 0; i < files.size(); ++i) {
        const QString name = i < names.size() ? names.at(i) : files.at(i).fileName();
        writer.addFile(Poco::Path(QFile::encodeName(files.at(i).filePath()).toStdString()),
                       Poco::Path(name.toStdString(), Poco::Path::PATH_UNIX), Poco::Zip::ZipCommon::CM_DEFLATE,
                       Poco::Zip::ZipCommon::CL_MAXIMUM);
    }
    writer.close();
    stream.flush();
    stream.close();
}

FileType detectFileType(const QString& path)
{
    std::ifstream stream(path.toUtf8().toStdString(), std::ios::binary);
    if (!stream)
        return Unknown;
    char head[16] = {};
    stream.read(head, sizeof head);
    if (stream.gcount() < static_cast<std::streamsize>(sizeof head))
        return Unknown;
    auto starts = [&](const char* magic, size_t length) { return std::strncmp(head, magic, length) == 0; };
    switch (static_cast<unsigned char>(head[0])) {
    case 0xFF:
        return starts("\xFF\xD8\xFF", 3) ? Jpeg : Unknown;
    case 0x89:
        return starts("\x89PNG\r\n\x1A\n", 8) ? Png : Unknown;
    case 'G':
        return starts("GIF87a", 6) || starts("GIF89a", 6) ? Gif : Unknown;
    case 'I':
        return starts("II*", 3) ? Tiff : Unknown;
    case 'M':
        return starts("MM", 2) ? Tiff : Unknown;
    case '%':
        return starts("%PDF-", 5) ? Pdf : Unknown;
    default:
        return Unknown;
    }
}

bool isPdfFile(const QString& path) { return detectFileType(path) == Pdf; }

bool isImageFile(const QString& path)
{
    const FileType type = detectFileType(path);
    return type == Jpeg || type == Png || type == Gif;
}

} // namespace tessel::utils
