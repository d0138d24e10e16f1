#include "rest/temp_storage/temp_storage_impl.h"

#include "tessel/filefuncs.h"

#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace {

using tessel::rest::TempEntry;
using tessel::rest::TempEntryPtr;
using tessel::rest::TempStorageImpl;
using namespace std::chrono_literals;

TempEntryPtr upload(qint64 size)
{
    const QSharedPointer<QTemporaryFile> file = tessel::utils::mkTemp(tessel::utils::tempStoragePrefix);
    file->write(QByteArray(static_cast<int>(size), 'x'));
    auto entry = std::make_shared<TempEntry>();
    entry->file = QFileInfo(file->fileName());
    file->flush();
    entry->owner = tessel::utils::closedTemporary(file);
    return entry;
}

class TempStorageExpiry : public testing::Test
{
protected:
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
    TempStorageImpl storage{1h, 1000, [this] { return now; }};
};

TEST_F(TempStorageExpiry, AnEntryGoesAfterItsAgeAndItsFileWithIt)
{
    const QUuid id = storage.add(upload(10));
    const QString path = storage.get(id)->file.filePath();
    now += 59min;
    EXPECT_TRUE(storage.find(id));
    now += 2min;
    EXPECT_FALSE(storage.find(id));
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(TempStorageExpiry, AFileInUseStaysUntilItsUserLetsGo)
{
    const QUuid id = storage.add(upload(10));
    TempEntryPtr inUse = storage.get(id);
    now += 2h;
    EXPECT_FALSE(storage.find(id));
    EXPECT_TRUE(inUse->file.exists());
    const QString path = inUse->file.filePath();
    inUse.reset();
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(TempStorageExpiry, BeyondTheTotalSizeTheOldestGoFirst)
{
    const QUuid first = storage.add(upload(400));
    now += 1s;
    const QUuid second = storage.add(upload(400));
    now += 1s;
    const QUuid third = storage.add(upload(400));
    EXPECT_FALSE(storage.find(first));
    EXPECT_TRUE(storage.find(second));
    EXPECT_TRUE(storage.find(third));
    // A removed entry no longer counts towards the total.
    storage.remove(second);
    const QUuid fourth = storage.add(upload(400));
    EXPECT_TRUE(storage.find(third));
    EXPECT_TRUE(storage.find(fourth));
}

} // namespace
