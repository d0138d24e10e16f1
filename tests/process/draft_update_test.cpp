#include "docs/fixtures/store_fixture.h"
#include "docs/fixtures/temp_upload.h"
#include "support/exception_message.h"

#include "interfaces/temp_storage.h"
#include "portal/rest_error.h"
#include "process/draft_update.h"

#include <QFile>

#include <QJsonDocument>

using tessel::docs::StorageType;
using tessel::process::updateDraft;
using tessel::rest::TempStorage;

namespace {

const StorageType drafts = StorageType::Drafts;
const QByteArray pdf = "%PDF-1.4 an uploaded pdf";
const QByteArray png = "\x89PNG\r\n\x1a\n an uploaded image";

QJsonArray commits(const char* json) { return QJsonDocument::fromJson(json).array(); }

bool isKept(const QUuid& upload)
{
    try {
        TempStorage::instance()->get(upload);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// A local draft with a body and attachments 2 to 4, which the fake portal also serves.
class DraftUpdate : public StoreTest
{
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        for (const QString& name : filesOf(drafts))
            QFile::remove(filePath(drafts, name));
        m_envelope = serveDocument(drafts, {{2, false}, {3, false}, {4, false}}, false, m_parts);
        put(drafts, "0", m_envelope.toUtf8());
        for (auto part = m_parts.constBegin(); part != m_parts.constEnd(); ++part)
            put(drafts, part.key(), part.value());
        m_portal.answerDraftUploads(200, QJsonObject{{"stored", true}});
    }

    // Plays the commits, with the ids of the uploads put in for %1 and %2.
    QJsonValue update(QString json)
    {
        json.replace("%1", m_pdf.toString()).replace("%2", m_png.toString());
        return updateDraft(m_session, m_id, m_draft, commits(json.toUtf8().constData()));
    }

    QMap<int, QByteArray> uploaded() const
    {
        const auto uploads = m_portal.draftUploads();
        return uploads.isEmpty() ? QMap<int, QByteArray>{{-1, "<no upload>"}} : uploads.last().attachments;
    }

    int refreshes() const
    {
        return m_portal.downloads().count(storageUrl(drafts) + "?envelope=true&signs=false&allAttachments=true");
    }

    const QMap<QString, QByteArray> m_parts{{"1", "body"}, {"2", "two"}, {"3", "three"}, {"4", "four"}};
    const QJsonObject m_draft{{"subject", "Quarterly report"}};
    const QUuid m_pdf = addTempUpload(pdf);
    const QUuid m_png = addTempUpload(png);
    QString m_envelope;
};

} // namespace

TEST_F(DraftUpdate, WithoutEditsTheDraftIsUploadedAndRefreshed)
{
    EXPECT_EQ(updateDraft(m_session, m_id, m_draft, QJsonArray()), QJsonValue(QJsonObject{{"stored", true}}));

    ASSERT_EQ(m_portal.draftUploads().size(), 1);
    const FakePortal::DraftUpload upload = m_portal.draftUploads().first();
    EXPECT_EQ(upload.sessionId, m_session);
    EXPECT_EQ(upload.draftId, m_id);
    EXPECT_EQ(upload.document, m_draft);
    EXPECT_EQ(upload.attachments, (QMap<int, QByteArray>{{2, "two"}, {3, "three"}, {4, "four"}}));
    EXPECT_EQ(refreshes(), 1);
}

TEST_F(DraftUpdate, EditsArePlayedInTheirOrderBeforeTheUpload)
{
    const struct
    {
        const char* name;
        QString commits;
        QMap<int, QByteArray> attachments;
    } cases[] = {
        {"remove then move into the gap",
         R"([{"action": 1, "attachIdx": 3}, {"action": 2, "attachIdx": 4, "moveTo": 3}])",
         {{2, "two"}, {3, "four"}}},
        {"move away then save into the freed number",
         R"([{"action": 2, "attachIdx": 3, "moveTo": 5}, {"action": 6, "attachIdx": 3, "file": "%2"}])",
         {{2, "two"}, {3, png}, {4, "four"}, {5, "three"}}},
        {"a pdf replaces a part",
         R"([{"action": 5, "attachIdx": 2, "file": "%1"}])",
         {{2, pdf}, {3, "three"}, {4, "four"}}},
        {"an archive is stored without a type check",
         R"([{"action": 6, "attachIdx": 5, "file": "%2"}])",
         {{2, "two"}, {3, "three"}, {4, "four"}, {5, png}}},
    };
    for (const auto& edit : cases) {
        SetUp();
        update(edit.commits);
        EXPECT_EQ(uploaded(), edit.attachments) << edit.name;
    }
}

TEST_F(DraftUpdate, ScannedPagesBecomeOneArchivePart)
{
    update(R"([{"action": 3, "attachIdx": 4, "images": ["%2", "{%2}"]}])");

    EXPECT_TRUE(uploaded().value(4).startsWith("PK\x03\x04")) << uploaded().value(4).left(16).toHex().toStdString();
}

TEST_F(DraftUpdate, ABadRowFailsBeforeAnythingIsPlayed)
{
    const QUuid unknown = QUuid::createUuid();
    const struct
    {
        QString commits;
        std::string message;
    } cases[] = {
        {R"([{"action": 1, "attachIdx": 2}, {"attachIdx": 3}])", "Update draft request contains no action tag"},
        {R"([{"action": 1, "attachIdx": 2}, {"action": 7}])", "Unknown commit action 7"},
        {R"([{"action": 1, "attachIdx": 2}, {"action": "1"}])", "Unknown commit action 0"},
        {R"([{"action": 1, "attachIdx": 2}, {"action": 5, "attachIdx": 3, "file": "%2"}])",
         "validateCommitData(): " + m_png.toString().toStdString() + " is not a PDF file."},
        {R"([{"action": 1, "attachIdx": 2}, {"action": 2, "attachIdx": 3, "moveTo": -1}])",
         "validateCommitData(): draft " + m_idText.toStdString() + " has no part -1"},
        {R"([{"action": 1, "attachIdx": 2}, {"action": 1, "attachIdx": 1e12}])",
         "Update draft request holds a number out of range: 1e+12"},
        {R"([{"action": 1, "attachIdx": 2}, {"action": 5, "attachIdx": 3, "file": ")" + unknown.toString() + R"("}])",
         "Temporary file not found: " + unknown.toString().toStdString()},
    };
    for (const auto& bad : cases) {
        EXPECT_EQ(messageOf([&] { update(bad.commits); }), bad.message) << bad.commits.toStdString();
        EXPECT_EQ(filesOf(drafts), (QStringList{"0", "1", "2", "3", "4"})) << bad.commits.toStdString();
    }
    EXPECT_TRUE(m_portal.draftUploads().isEmpty());
}

TEST_F(DraftUpdate, TemporaryFilesAreReleasedOnlyAfterTheUpload)
{
    // Listed first, the release would otherwise take the file that the next row stores.
    update(R"([{"action": 4, "files": ["%1"]}, {"action": 5, "attachIdx": 3, "file": "%1"}])");

    EXPECT_EQ(uploaded().value(3), pdf);
    EXPECT_FALSE(isKept(m_pdf));
    EXPECT_TRUE(isKept(m_png));
}

TEST_F(DraftUpdate, AFailingRowKeepsTheEarlierEditsAndTheUploads)
{
    const QString missing = QUuid::createUuid().toString();
    EXPECT_EQ(messageOf([&] {
                  update(R"([{"action": 1, "attachIdx": 2}, {"action": 6, "attachIdx": 3, "file": ")" + missing
                         + R"("}, {"action": 4, "files": ["%1"]}])");
              }),
              "Temporary file not found: " + missing.toStdString());

    EXPECT_FALSE(exists(drafts, "2"));
    EXPECT_EQ(contents(drafts, "3"), "three");
    EXPECT_TRUE(m_portal.draftUploads().isEmpty());
    EXPECT_TRUE(isKept(m_pdf));
}

TEST_F(DraftUpdate, APortalRefusalKeepsTheLocalEditsUnrefreshed)
{
    m_portal.answerDraftUploads(500, QJsonValue());

    EXPECT_THROW(update(R"([{"action": 1, "attachIdx": 4}, {"action": 4, "files": ["%1"]}])"), tessel::RestError);

    EXPECT_FALSE(exists(drafts, "4"));
    EXPECT_EQ(m_portal.draftUploads().size(), 1);
    EXPECT_EQ(refreshes(), 0);
    EXPECT_TRUE(isKept(m_pdf));
}

TEST_F(DraftUpdate, RemovingWithoutAPartNumberTakesTheEnvelopeWhichTheRefreshBringsBack)
{
    put(drafts, "0.sign", "signature");

    update(R"([{"action": 1}])");

    EXPECT_EQ(contents(drafts, "0"), m_envelope.toUtf8());
    EXPECT_FALSE(exists(drafts, "0.sign"));
    EXPECT_EQ(m_portal.draftUploads().size(), 1);
}

TEST_F(DraftUpdate, ADraftNotHeldLocallyIsFetchedBeforeItIsEditedAndUploaded)
{
    for (const QString& name : filesOf(drafts))
        QFile::remove(filePath(drafts, name));

    update(R"([{"action": 1, "attachIdx": 4}])");

    EXPECT_EQ(uploaded(), (QMap<int, QByteArray>{{2, "two"}, {3, "three"}}));
}

TEST_F(DraftUpdate, ALocalCopyIsNotFetchedAgainBeforeTheEdits)
{
    put(drafts, "3", "a scan saved before");

    update("[]");

    EXPECT_EQ(uploaded().value(3), "a scan saved before");
}
