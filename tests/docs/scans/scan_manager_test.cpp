#include "docs/fixtures/store_fixture.h"
#include "docs/fixtures/temp_upload.h"
#include "support/exception_message.h"

#include "interfaces/drafts_storage.h"
#include "interfaces/scan_manager.h"
#include "interfaces/temp_storage.h"
#include "tessel/filefuncs.h"

#include <Poco/Zip/ZipArchive.h>

#include <QDir>
#include <QFile>

#include <fstream>

using namespace tessel::docs;
using tessel::rest::TempStorage;

namespace {

const StorageType drafts = StorageType::Drafts;

QByteArray fileBytes(const QFileInfo& file)
{
    QFile in(file.filePath());
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<missing>");
}

// Scans of a draft whose page images are put into the temporary storage by the test.
class Scans : public StoreTest
{
protected:
    // A draft held here, so that saving a scan has nothing to fetch.
    void SetUp() override
    {
        StoreTest::SetUp();
        put(drafts, "0", envelopeXml({}, false).toUtf8());
    }

    static QByteArray page(int n) { return "\x89PNG page " + QByteArray::number(n); }

    // The entry names of a part's archive, in the archive's order.
    QStringList entriesOf(const QString& part) const
    {
        std::ifstream stream(QFile::encodeName(filePath(drafts, part)).toStdString(), std::ios::binary);
        const Poco::Zip::ZipArchive archive(stream);
        QStringList names;
        for (auto it = archive.headerBegin(); it != archive.headerEnd(); ++it)
            names.append(QString::fromStdString(it->first));
        return names;
    }

    QList<QByteArray> openedPages(StorageType kind, int part)
    {
        QList<QByteArray> pages;
        for (const QUuid& id : ScanManager::instance()->openScan(m_session, kind, m_id, part))
            pages.append(fileBytes(TempStorage::instance()->get(id)->file));
        return pages;
    }

    ScanManager* scans() { return ScanManager::instance(); }
};

class PageCounts : public Scans, public ::testing::WithParamInterface<int>
{};

} // namespace

TEST_P(PageCounts, SavedPagesOpenAgainInTheirOrder)
{
    QList<QUuid> images;
    QStringList names;
    QList<QByteArray> pages;
    for (int i = 0; i < GetParam(); ++i) {
        images.append(addTempUpload(page(i)));
        names.append(QStringLiteral("page%1.img").arg(i, 5, 10, QLatin1Char('0')));
        pages.append(page(i));
    }
    scans()->saveScan(m_session, m_id, 2, images);

    QStringList stored = entriesOf("2");
    stored.sort();
    EXPECT_EQ(stored, names);
    EXPECT_EQ(openedPages(drafts, 2), pages);
}

// Twelve pages: page00010.img must come after page00009.img.
INSTANTIATE_TEST_SUITE_P(Scans, PageCounts, ::testing::Values(0, 3, 12));

TEST_F(Scans, ANullImageIdIsSkippedAndTheNextPagesMoveUp)
{
    scans()->saveScan(m_session, m_id, 3, {addTempUpload(page(0)), QUuid(), addTempUpload(page(2))});

    EXPECT_EQ(entriesOf("3"), (QStringList{"page00000.img", "page00001.img"}));
    EXPECT_EQ(openedPages(drafts, 3), (QList<QByteArray>{page(0), page(2)}));
}

TEST_F(Scans, SavingReplacesThePartAndLeavesNoArchiveBehind)
{
    put(drafts, "2", "old part");
    scans()->saveScan(m_session, m_id, 2, {addTempUpload(page(7))});

    EXPECT_EQ(openedPages(drafts, 2), QList<QByteArray>{page(7)});
    EXPECT_EQ(QDir::temp().entryList({"kmtScan.*"}, QDir::Files).size(), 0);
}

TEST_F(Scans, AScanSavedIntoADraftOnlyThePortalHoldsSurvivesTheNextSave)
{
    QFile::remove(filePath(drafts, "0"));
    serveDocument(drafts, {{2, false}, {3, false}}, false, {{"1", "body"}, {"2", "portal's part"}, {"3", "third"}});
    scans()->saveScan(m_session, m_id, 2, {addTempUpload(page(4))});

    // Saving the draft fetches it first when its envelope is not here.
    DraftsStorage::instance()->getDocumentPart(m_session, m_id, 0, false).get();
    EXPECT_NE(contents(drafts, "2"), "portal's part");
    EXPECT_EQ(entriesOf("2"), QStringList{"page00000.img"});
    EXPECT_EQ(contents(drafts, "3"), "third");
}

TEST_F(Scans, AnUnknownImageFailsBeforeAnythingIsWritten)
{
    put(drafts, "2", "old part");
    const QUuid unknown = QUuid::createUuid();

    EXPECT_EQ(messageOf([&] {
                  scans()->saveScan(m_session, m_id, 2, {addTempUpload(page(0)), unknown});
              }),
              "Temporary file not found: " + unknown.toString().toStdString());
    EXPECT_EQ(contents(drafts, "2"), "old part");
}

TEST_F(Scans, OpeningTwiceGivesOwnCopiesThatGoWithTheirLastPage)
{
    scans()->saveScan(m_session, m_id, 2, {addTempUpload(page(0)), addTempUpload(page(1))});
    const QList<QUuid> first = scans()->openScan(m_session, drafts, m_id, 2);
    const QList<QUuid> second = scans()->openScan(m_session, drafts, m_id, 2);
    ASSERT_EQ(first.size(), 2);
    ASSERT_EQ(second.size(), 2);
    const QFileInfo firstPage = TempStorage::instance()->get(first[0])->file;
    const QFileInfo secondPage = TempStorage::instance()->get(second[0])->file;
    EXPECT_NE(first[0], second[0]);
    EXPECT_NE(firstPage.absolutePath(), secondPage.absolutePath());

    TempStorage::instance()->remove(first[0]);
    EXPECT_TRUE(QFileInfo::exists(firstPage.absolutePath())) << "a page of that scan is still held";
    TempStorage::instance()->remove(first[1]);
    EXPECT_FALSE(QFileInfo::exists(firstPage.absolutePath()));
    EXPECT_TRUE(secondPage.exists());
}

TEST_F(Scans, AScanOfAReceivedDocumentIsDownloadedFirst)
{
    const QString archive = m_root.filePath("scan.zip");
    {
        const QFileInfo image(m_root.filePath("image"));
        QFile file(image.filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(page(5));
        file.close();
        tessel::utils::zip(QFileInfo(archive), {image}, {"page00000.img"});
    }
    serveDocument(StorageType::Inbox, {{2, false}}, false, {{"1", "body"}, {"2", fileBytes(QFileInfo(archive))}});

    EXPECT_EQ(openedPages(StorageType::Inbox, 2), QList<QByteArray>{page(5)});
}

TEST_F(Scans, PartsThatAreNoScanFailWithTheArchiveError)
{
    serveDocument(drafts, {{2, false}}, false, {{"1", "body"}, {"2", "no archive"}});
    const struct
    {
        quint64 part;
        std::string message;
    } cases[] = {
        {2, "Error decompressing archive \"" + filePath(drafts, "2").toStdString() + "\": not a ZIP archive"},
        {3, "Error opening archive file \"\": No such file or directory"},
        {quint64(1) << 40, "There is no attachment # 1099511627776"},
    };
    for (const auto& scan : cases)
        EXPECT_EQ(messageOf([&] { scans()->openScan(m_session, drafts, m_id, scan.part); }), scan.message) << scan.part;
}
