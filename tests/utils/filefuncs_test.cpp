#include "tessel/filefuncs.h"

#include <gtest/gtest.h>

#include <Poco/Zip/Compress.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <fstream>
#include <sstream>

#include <unistd.h>

using namespace tessel::utils;

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// An archive written entry by entry, so that tests can give entries any name.
void writeArchive(const QString& path, const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    Poco::Zip::Compress writer(out, true, false);
    for (const auto& [name, content] : entries) {
        std::istringstream in(content);
        writer.addFile(in, Poco::DateTime(), Poco::Path(name, Poco::Path::PATH_UNIX));
    }
    writer.close();
}

} // namespace

TEST(FileFuncs, TemporariesAreNamedByPrefixAndGoWithTheirLastHolder)
{
    QString filePath;
    QString dirPath;
    {
        auto file = mkTemp(scanPrefix);
        auto copy = file;
        filePath = file->fileName();
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^kmtScan\\.%1\\.[A-Za-z0-9]{10}$").arg(getpid()))
                        .match(QFileInfo(filePath).fileName())
                        .hasMatch())
            << filePath.toStdString();
        EXPECT_EQ(QFileInfo(filePath).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        file.reset();
        EXPECT_TRUE(QFile::exists(filePath));

        auto dir = mkTempDir(storagePrefix);
        dirPath = dir->path();
        writeFile(dir->filePath(QStringLiteral("inner")), "x");
        EXPECT_TRUE(QFileInfo(dirPath).fileName().startsWith(QStringLiteral("kmtStorage.%1.").arg(getpid())));
    }
    EXPECT_FALSE(QFile::exists(filePath));
    EXPECT_FALSE(QFile::exists(dirPath));
}

// What a run killed before it could clean up left behind goes at the next start; what a
// running process uses, and what is not ours, stays.
TEST(FileFuncs, LeftoversOfEndedRunsAreRemoved)
{
    QTemporaryDir temporary;
    const QByteArray oldTemporary = qEnvironmentVariableIsSet("TMPDIR") ? qgetenv("TMPDIR") : QByteArray();
    qputenv("TMPDIR", temporary.path().toLocal8Bit());
    const QString ended = QStringLiteral(".2147483646.");
    const QString running = QStringLiteral(".%1.").arg(getpid());
    const QStringList gone = {signPrefix + ended + QStringLiteral("a1b2c3"),
                              tempStoragePrefix + ended + QStringLiteral("x"),
                              signPrefix + QStringLiteral(".Ab12Cd34Ef"), scanPrefix + QStringLiteral("Xy12Ab")};
    const QStringList kept = {signPrefix + running + QStringLiteral("a1b2c3"), QStringLiteral("kmtSignature"),
                              QStringLiteral("other.2147483646.a")};
    for (const QString& name : gone + kept)
        writeFile(temporary.filePath(name), "x");
    QDir(temporary.path()).mkdir(storagePrefix + ended + QStringLiteral("dir"));
    writeFile(temporary.filePath(storagePrefix + ended + QStringLiteral("dir/inner")), "x");

    EXPECT_EQ(removeTemporaryLeftovers(), gone.size() + 1);
    if (oldTemporary.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTemporary);
    QStringList left = QDir(temporary.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    QStringList expected = kept;
    left.sort();
    expected.sort();
    EXPECT_EQ(left, expected);
}

TEST(FileFuncs, CopyReplacesTheDestinationWhole)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source"));
    const QString destination = dir.filePath(QStringLiteral("destination"));
    writeFile(source, "new content");
    writeFile(destination, "old content that was longer");

    copyFile(QFileInfo(source), QFileInfo(destination));
    EXPECT_EQ(readFile(destination), "new content");
    EXPECT_EQ(readFile(source), "new content");
    // No temporary is left beside the destination.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST(FileFuncs, FailedCopyKeepsTheOldFileAndSaysWhy)
{
    // A non-empty directory in the destination's place cannot be replaced, not even by root.
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source"));
    writeFile(source, "new");
    const QString destination = dir.filePath(QStringLiteral("destination"));
    QDir(dir.path()).mkdir(QStringLiteral("destination"));
    writeFile(destination + QStringLiteral("/kept"), "old");

    try {
        copyFile(QFileInfo(source), QFileInfo(destination));
        ADD_FAILURE() << "copy over a directory succeeded";
    } catch (const exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "copyFile(): Error removing existing file \"" + destination.toStdString() + "\"");
    }
    EXPECT_EQ(readFile(destination + QStringLiteral("/kept")), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("source")});
}

TEST(FileFuncs, CopyOfAMissingSourceNamesBothPaths)
{
    QTemporaryDir dir;
    const QString destination = dir.filePath(QStringLiteral("destination"));
    writeFile(destination, "old");
    try {
        copyFile(QFileInfo(dir.filePath(QStringLiteral("none"))), QFileInfo(destination));
        ADD_FAILURE() << "copy of a missing file succeeded";
    } catch (const exception& e) {
        EXPECT_EQ(std::string(e.what()).rfind("copyFile(): Error copying from \""
                                                  + dir.filePath(QStringLiteral("none")).toStdString() + "\" to \""
                                                  + destination.toStdString() + "\": ",
                                              0),
                  0u)
            << e.what();
    }
    EXPECT_EQ(readFile(destination), "old");
}

TEST(FileFuncs, ZipAndUnzipRoundTripInEntryNameOrder)
{
    QTemporaryDir dir;
    QList<QFileInfo> files;
    for (const char* name : {"2", "10", "1"}) {
        const QString path = dir.filePath(QStringLiteral("src-%1").arg(name));
        writeFile(path, QByteArray("page ") + name);
        files.append(QFileInfo(path));
    }
    const QFileInfo archive(dir.filePath(QStringLiteral("pages.zip")));
    // Fewer names than files: the last entry is named after its file.
    zip(archive, files, QStringList{QStringLiteral("2"), QStringLiteral("10")});

    QTemporaryDir target;
    const QList<QFileInfo> extracted = unzip(archive, target.path());
    ASSERT_EQ(extracted.size(), 3);
    QStringList names;
    for (const QFileInfo& info : extracted)
        names.append(info.fileName());
    EXPECT_EQ(names, (QStringList{QStringLiteral("10"), QStringLiteral("2"), QStringLiteral("src-1")}));
    EXPECT_EQ(readFile(extracted[0].filePath()), "page 10");
    EXPECT_EQ(readFile(extracted[2].filePath()), "page 1");
}

TEST(FileFuncs, UnzipOrdersByNameNotByArchivePosition)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    writeArchive(archive, {{"2", "two"}, {"10", "ten"}, {"1", "one"}});
    QTemporaryDir target;
    const QList<QFileInfo> extracted = unzip(QFileInfo(archive), target.path());
    ASSERT_EQ(extracted.size(), 3);
    EXPECT_EQ(extracted[0].fileName(), "1");
    EXPECT_EQ(extracted[1].fileName(), "10");
    EXPECT_EQ(extracted[2].fileName(), "2");
}

// A name that is no UTF-8 text could be neither opened nor removed by the names Qt gives.
TEST(FileFuncs, UnzipRefusesEntriesThatLeaveTheTargetOrHaveNoTextName)
{
    for (const char* hostile : {"../escaped", "a/../../escaped", "/tmp/escaped-absolute", "dir/escaped\xce"}) {
        QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("hostile.zip"));
        // The writer refuses such names, so a harmless name of the same length is patched in place.
        std::string harmless = hostile;
        std::replace(harmless.begin(), harmless.end(), '.', 'D');
        std::replace(harmless.begin(), harmless.end(), '/', 'S');
        std::replace(harmless.begin(), harmless.end(), '\xce', 'X');
        writeArchive(archive, {{"fine", "ok"}, {harmless, "evil"}});
        QByteArray bytes = readFile(archive);
        bytes.replace(QByteArray::fromStdString(harmless), QByteArray(hostile));
        writeFile(archive, bytes);
        QDir(dir.path()).mkdir(QStringLiteral("target"));
        const QString target = dir.filePath(QStringLiteral("target"));
        try {
            unzip(QFileInfo(archive), target);
            ADD_FAILURE() << "extracted " << hostile;
        } catch (const exception& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Error decompressing archive \"" + archive.toStdString() + "\": ", 0),
                      0u)
                << e.what();
        }
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("escaped"))));
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("target/fine"))));
        EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/escaped-absolute")));
    }
}

TEST(FileFuncs, UnzipOfMissingOrBrokenArchive)
{
    QTemporaryDir dir;
    EXPECT_THROW(unzip(QFileInfo(dir.filePath(QStringLiteral("none.zip"))), dir.path()), exception);
    const QString broken = dir.filePath(QStringLiteral("broken.zip"));
    writeFile(broken, "this is no zip archive at all");
    EXPECT_THROW(unzip(QFileInfo(broken), dir.path()), exception);
}

TEST(FileFuncs, DetectFileTypeByLeadingBytes)
{
    const QByteArray pad(16, 'z');
    struct Case
    {
        QByteArray content;
        FileType type;
    } cases[] = {
        {QByteArray("\xFF\xD8\xFF", 3) + pad, Jpeg},
        {QByteArray("\x89PNG\r\n\x1A\n", 8) + pad, Png},
        {"GIF87a" + pad, Gif},
        {"GIF89a" + pad, Gif},
        {"GIF88a" + pad, Unknown},
        {"II*" + pad, Tiff},
        {QByteArray("II\x2B", 3) + pad, Unknown},
        {"MMxx" + pad, Tiff},
        {"%PDF-1.4 0123456", Pdf},
        {"%PDF-1.4 012345", Unknown}, // 15 bytes are never recognised
        {pad, Unknown},
    };
    QTemporaryDir dir;
    int i = 0;
    for (const Case& c : cases) {
        const QString path = dir.filePath(QString::number(i++));
        writeFile(path, c.content);
        EXPECT_EQ(detectFileType(path), c.type) << c.content.toHex().toStdString();
    }
    EXPECT_EQ(detectFileType(dir.filePath(QStringLiteral("missing"))), Unknown);

    const QString tiff = dir.filePath(QStringLiteral("tiff"));
    writeFile(tiff, "MM" + pad);
    const QString pdf = dir.filePath(QStringLiteral("pdf"));
    writeFile(pdf, "%PDF-" + pad);
    const QString png = dir.filePath(QStringLiteral("png"));
    writeFile(png, QByteArray("\x89PNG\r\n\x1A\n", 8) + pad);
    EXPECT_FALSE(isImageFile(tiff));
    EXPECT_FALSE(isImageFile(pdf));
    EXPECT_TRUE(isImageFile(png));
    EXPECT_TRUE(isPdfFile(pdf));
    EXPECT_FALSE(isPdfFile(png));
}
