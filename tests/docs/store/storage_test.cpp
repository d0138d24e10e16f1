#include "docs/fixtures/store_fixture.h"

#include "docs/store/storage_query.h"
#include "interfaces/storage.h"
#include "portal/rest_error.h"
#include "tessel/exception.h"
#include "tessel/log_record.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace tessel::docs;

namespace {

QStringList namesOf(const QList<QFileInfo>& files)
{
    QStringList names;
    for (const QFileInfo& file : files)
        names.append(file.fileName());
    return names;
}

const QMap<QString, QByteArray> signedDocumentEntries{
    {QStringLiteral("0.sign"), "envelope signature"},
    {QStringLiteral("1"), "body"},
    {QStringLiteral("2"), "scan"},
    {QStringLiteral("2.sign"), "scan signature"},
    {QStringLiteral("readme"), "not a part"},
};

} // namespace

TEST(StorageQuery, AsksForTheEnvelopeSignaturesAndAttachments)
{
    struct Case
    {
        bool envelope, signs, attachments;
        QVector<quint32> indices;
        const char* query;
    };
    const Case cases[] = {
        {true, false, false, {}, "?envelope=true&signs=false"},
        {true, false, false, {1, 3}, "?envelope=true&signs=false"},
        {true, false, true, {}, "?envelope=true&signs=false&allAttachments=true"},
        {true, false, true, {1, 3}, "?envelope=true&signs=false&attachmentsIndices=1,3"},
        {false, true, true, {2}, "?envelope=false&signs=true&attachmentsIndices=2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(storageQuery(c.envelope, c.signs, c.attachments, c.indices), c.query);
}

using DocumentStore = StoreTest;

TEST_F(DocumentStore, FetchesAnIncompleteDocumentOnceAndKeepsIt)
{
    serveDocument(StorageType::Inbox, {{1, false}, {2, true}}, true, signedDocumentEntries);
    Storage* inbox = Storage::instance(StorageType::Inbox);

    const DocumentFiles files = inbox->getDocument(m_session, m_id).get();
    EXPECT_EQ(namesOf(files.first), QStringList({m_idText + ".0", m_idText + ".1", m_idText + ".2"}));
    // Part 1 carries no signature, so the list of signatures stops after the envelope's.
    EXPECT_EQ(namesOf(files.second), QStringList({m_idText + ".0.sign"}));
    EXPECT_EQ(files.first.at(2).absoluteFilePath(), QFileInfo(filePath(StorageType::Inbox, "2")).absoluteFilePath());
    EXPECT_EQ(contents(StorageType::Inbox, "2.sign"), "scan signature");
    // An entry that is no part is kept under the id but never listed.
    EXPECT_EQ(contents(StorageType::Inbox, "readme"), "not a part");
    EXPECT_EQ(m_portal.downloads(),
              QStringList({storageUrl(StorageType::Inbox) + "?envelope=true&signs=false",
                           storageUrl(StorageType::Inbox) + "?envelope=true&signs=true&allAttachments=true"}));
    EXPECT_EQ(m_portal.downloadSessions(), QStringList({m_session, m_session}));
    EXPECT_TRUE(inbox->isComplete(m_id));

    // Complete now: neither another request nor a forced update of a part goes to the portal.
    EXPECT_EQ(namesOf(inbox->getDocumentParts(m_session, m_id).get()).size(), 3);
    EXPECT_EQ(inbox->getDocumentPart(m_session, m_id, 1, true).get().fileName(), m_idText + ".1");
    EXPECT_EQ(m_portal.downloads().size(), 2);
}

TEST_F(DocumentStore, EachKindFetchesFromItsOwnUrlIntoItsOwnDirectory)
{
    for (const StorageType kind : {StorageType::Drafts, StorageType::Inbox, StorageType::Outbox}) {
        const QString word = storageTypeWord(kind);
        serveDocument(kind, {{1, false}}, false, {{QStringLiteral("1"), word.toUtf8()}});
        const QList<QFileInfo> parts = Storage::instance(kind)->getDocumentParts(m_session, m_id).get();
        ASSERT_EQ(parts.size(), 2) << word.toStdString();
        EXPECT_EQ(QFileInfo(parts.at(1).absolutePath()).fileName(), word);
        EXPECT_EQ(contents(kind, "1"), word.toUtf8());
        EXPECT_EQ(m_portal.downloads().last(), storageUrl(kind) + "?envelope=true&signs=false&allAttachments=true");
    }
    // The other stores' directories hold only their own copies.
    EXPECT_EQ(QDir(m_root.filePath("inbox")).entryList(QDir::Files).size(), 2);
    EXPECT_THROW(Storage::instance(static_cast<StorageType>(4)), tessel::utils::exception);
}

TEST_F(DocumentStore, CompleteWhenEveryListedPartAndSignatureIsThere)
{
    const QString twoAttachments = envelopeXml({{1, false}, {2, true}}, true);
    const QString noAttachments = envelopeXml({}, false);
    struct Case
    {
        const char* what;
        QString envelope;
        QStringList files;
        bool complete;
    };
    const Case cases[] = {
        {"all there", twoAttachments, {"1", "2", "2.sign", "0.sign"}, true},
        {"no part 1", twoAttachments, {"2", "2.sign", "0.sign"}, false},
        {"no part 2", twoAttachments, {"1", "2.sign", "0.sign"}, false},
        {"no signature of the hashed part", twoAttachments, {"1", "2", "0.sign"}, false},
        {"no envelope signature", twoAttachments, {"1", "2", "2.sign"}, false},
        {"no attachments, no signature needed", noAttachments, {}, true},
    };
    Storage* outbox = Storage::instance(StorageType::Outbox);
    for (const Case& c : cases) {
        QDir(m_root.filePath("outbox")).removeRecursively();
        QDir(m_root.path()).mkdir("outbox");
        EXPECT_FALSE(outbox->isComplete(m_id)) << "without an envelope";
        put(StorageType::Outbox, "0", c.envelope.toUtf8());
        for (const QString& name : c.files)
            put(StorageType::Outbox, name, "x");
        EXPECT_EQ(outbox->isComplete(m_id), c.complete) << c.what;
    }
}

TEST_F(DocumentStore, PartsAreListedUpToTheFirstGap)
{
    put(StorageType::Inbox, "0", envelopeXml({}, false).toUtf8());
    put(StorageType::Inbox, "1", "one");
    put(StorageType::Inbox, "3", "three");
    put(StorageType::Inbox, "0.sign", "s");
    put(StorageType::Inbox, "2.sign", "s");
    const DocumentFiles files = Storage::instance(StorageType::Inbox)->getDocument(m_session, m_id).get();
    EXPECT_EQ(namesOf(files.first), QStringList({m_idText + ".0", m_idText + ".1"}));
    EXPECT_EQ(namesOf(files.second), QStringList({m_idText + ".0.sign"}));
    EXPECT_TRUE(m_portal.downloads().isEmpty());
}

TEST_F(DocumentStore, AFailedSecondDownloadIsRepeatedNextTime)
{
    const QString envelope = envelopeXml({{1, false}}, false);
    m_portal.serve(storageUrl(StorageType::Inbox) + "?envelope=true&signs=false", {{"0", envelope.toUtf8()}});
    Storage* inbox = Storage::instance(StorageType::Inbox);

    EXPECT_THROW(inbox->getDocumentParts(m_session, m_id).get(), tessel::RestError);
    EXPECT_EQ(contents(StorageType::Inbox, "0"), envelope.toUtf8());
    EXPECT_FALSE(inbox->isComplete(m_id));

    serveDocument(StorageType::Inbox, {{1, false}}, false, {{"1", "body"}});
    EXPECT_EQ(inbox->getDocumentParts(m_session, m_id).get().size(), 2);
    EXPECT_EQ(m_portal.downloads().size(), 4);
}

TEST_F(DocumentStore, APartThePortalLacksIsAnEmptyFileInfo)
{
    serveDocument(StorageType::Outbox, {{1, false}}, false, {{"1", "body"}});
    const QFileInfo part = Storage::instance(StorageType::Outbox)->getDocumentPart(m_session, m_id, 4, false).get();
    EXPECT_TRUE(part.filePath().isEmpty());
    EXPECT_EQ(m_portal.downloads().size(), 2);
    // A part on disk is answered without asking the portal.
    EXPECT_EQ(Storage::instance(StorageType::Outbox)->getDocumentPart(m_session, m_id, 1, false).get().fileName(),
              m_idText + ".1");
    EXPECT_EQ(m_portal.downloads().size(), 2);
}

TEST_F(DocumentStore, EnvelopesAreReadFromTheCacheOnly)
{
    try {
        Storage::instance(StorageType::Inbox)->readDocumentTransfer(m_id);
        FAIL() << "no error";
    } catch (const tessel::utils::exception& e) {
        EXPECT_EQ(e.what(), "readDocumentTransfer(): Can't find document id=" + m_idText.toStdString() + " in cache");
    }
    put(StorageType::Inbox, "0", envelopeXml({{1, true}}, true).toUtf8());
    const auto envelope = Storage::instance(StorageType::Inbox)->readDocumentTransfer(m_id);
    ASSERT_EQ(envelope.attachments.size(), 1);
    EXPECT_EQ(envelope.attachments[0].hash, QByteArray::fromHex("0001"));
    EXPECT_TRUE(m_portal.downloads().isEmpty());
}

// Every request for the document would fail on its cached envelope; the portal holds it whole.
TEST_F(DocumentStore, AnUnreadableCachedEnvelopeIsFetchedAgain)
{
    const QTemporaryDir logs;
    const QString log = logs.filePath(QStringLiteral("store.log"));
    tessel::setLogFile(log);
    const struct
    {
        StorageType kind;
        QByteArray envelope;
    } cases[] = {
        {StorageType::Inbox, "<message version=\"fes-exchange-1.0\"><sender>"},
        {StorageType::Outbox, ""},
        {StorageType::Inbox, "<message version=\"fes-exchange-1.0\"/>"},
    };
    for (const auto& c : cases) {
        put(c.kind, "0", c.envelope);
        put(c.kind, "1", "stale body");
        const QString envelope = serveDocument(c.kind, {{1, false}}, false, {{"1", "body"}});
        const int downloads = m_portal.downloads().size();

        const DocumentFiles files = Storage::instance(c.kind)->getDocument(m_session, m_id).get();
        EXPECT_EQ(files.first.size(), 2) << c.envelope.toStdString();
        EXPECT_EQ(contents(c.kind, "0"), envelope.toUtf8());
        EXPECT_EQ(contents(c.kind, "1"), "body");
        EXPECT_EQ(m_portal.downloads().size(), downloads + 2) << c.envelope.toStdString();
    }
    tessel::setLogFile(QString());
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString records = QString::fromUtf8(file.readAll());
    for (const StorageType kind : {StorageType::Inbox, StorageType::Outbox})
        EXPECT_TRUE(records.contains(
            QStringLiteral("WARN : Discarding the unreadable envelope \"%1\"").arg(filePath(kind, "0"))))
            << records.toStdString();
}

TEST_F(DocumentStore, AnEnvelopeThatStaysUnreadableFailsTheRequestOnce)
{
    put(StorageType::Inbox, "0", "<broken");
    m_portal.serve(storageUrl(StorageType::Inbox) + "?envelope=true&signs=false", {{"0", "<still broken"}});
    EXPECT_THROW(Storage::instance(StorageType::Inbox)->getDocument(m_session, m_id).get(), tessel::utils::exception);
    EXPECT_EQ(m_portal.downloads().size(), 1);
}

TEST_F(DocumentStore, DraftsAreFetchedEveryTime)
{
    serveDocument(StorageType::Drafts, {{1, false}}, false, {{"1", "body"}});
    Storage* drafts = Storage::instance(StorageType::Drafts);
    drafts->getDocumentParts(m_session, m_id).get();
    EXPECT_FALSE(drafts->isComplete(m_id));
    drafts->getDocument(m_session, m_id).get();
    EXPECT_EQ(m_portal.downloads().size(), 4);
    drafts->getDocumentPart(m_session, m_id, 1, true).get();
    EXPECT_EQ(m_portal.downloads().size(), 6);
}

// The stores of the fixture, pointed elsewhere.
class StorageReinit : public StoreTest
{};

TEST_F(StorageReinit, MakesTheStoreDirectoriesOrFails)
{
    QTemporaryDir root;
    const QString fresh = root.filePath("fresh");
    tessel::docs::Storage::reinit(fresh);
    for (const char* name : {"drafts", "inbox", "outbox"})
        EXPECT_TRUE(QFileInfo(fresh + "/" + name).isDir()) << name;

    const QString blocked = root.filePath("blocked");
    QDir().mkdir(blocked);
    QFile(blocked + "/inbox").open(QIODevice::WriteOnly);
    struct Case
    {
        QString storageDir;
        QString named;
    };
    const Case cases[] = {
        {blocked, blocked + QDir::separator() + "inbox"}, // a file where the directory belongs
        {root.filePath("a/b"), root.filePath("a/b")},     // one level only
    };
    for (const Case& c : cases) {
        try {
            tessel::docs::Storage::reinit(c.storageDir);
            ADD_FAILURE() << "no error for " << c.storageDir.toStdString();
        } catch (const tessel::utils::exception& e) {
            EXPECT_EQ(e.what(),
                      QStringLiteral("Could not create storage in \"%1\". Exiting...").arg(c.named).toStdString());
        }
    }
}
