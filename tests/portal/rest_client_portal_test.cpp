#include "client_address.h"
#include "interfaces/rest_client.h"
#include "portal/rest_error.h"
#include "support/file_text.h"
#include "crypto_setup/crypto_engine_setup.h"
#include "support/seeded_documents.h"
#include "support/stand_in_portal_process.h"
#include "support/test_pki.h"
#include "support/workstation.h"
#include "support/zip_entries.h"

#include "crypto/engine/crypto_engine.h"
#include "interfaces/storage.h"
#include "tessel/exception.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>

using testsupport::fileText;

namespace {

QJsonObject jsonOf(const std::string& text)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

QString fileInfoPath(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// The stand-in portal with the seeded documents, which asks for the test user's certificate.
class RestClientAtPortal : public testing::Test
{
protected:
    std::filesystem::path directory = testsupport::TestPki::instance().makeTemporaryDirectory("rest-client");
    Workstation workstation{Workstation::UserKeyAndRoots};
    testsupport::StandInPortalProcess portal{{"--client-auth", "require"}};
    testsupport::SeededDocuments seeded = testsupport::seedDocuments(portal.stateDir());
    tessel::RestClient& client = *tessel::RestClient::instance();

    void SetUp() override { pointClientAt(portal.url(""), &workstation); }

    void unlockKey() { tessel::engine()->setKeyPass(QString::fromLatin1(Workstation::pin)); }

    std::filesystem::path document(const std::string& kind, const std::string& id) const
    {
        return portal.stateDir() / "documents" / kind / id;
    }

    // The portal's record of its last request.
    QJsonObject lastRequest() const { return jsonOf(portal.requestLog().back()); }

    std::filesystem::path writeFile(const std::string& name, const std::string& content) const
    {
        const std::filesystem::path path = directory / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    // A local copy of a draft in a drafts store under the test directory, parts named by number.
    void storeLocalDraft(const std::string& id, const std::map<std::string, std::string>& parts) const
    {
        const std::filesystem::path storage = directory / "storage";
        tessel::docs::Storage::reinit(fileInfoPath(storage));
        for (const auto& [part, content] : parts)
            std::ofstream(storage / "drafts" / (id + "." + part), std::ios::binary) << content;
    }
};

QString headerOf(const QJsonObject& request, const QString& name, bool* present = nullptr)
{
    for (const QJsonValue& header : request["headers"].toArray()) {
        if (header.toArray()[0].toString().compare(name, Qt::CaseInsensitive) == 0) {
            if (present)
                *present = true;
            return header.toArray()[1].toString();
        }
    }
    if (present)
        *present = false;
    return QString();
}

TEST_F(RestClientAtPortal, StoredDocumentsDownloadBelowTheRestApiPathWithOrWithoutALeadingSlash)
{
    unlockKey();
    const std::string query = "?envelope=true&signs=true&allAttachments=true";
    for (const std::string& path :
         {"/storage/inbox/" + seeded.inbox + query, "storage/inbox/" + seeded.inbox + query}) {
        const std::filesystem::path target = directory / "download.zip";
        client.getFile("session-1", QString::fromStdString(path), QFileInfo(fileInfoPath(target)),
                       QJsonObject{{"x", 1}});
        const QJsonObject request = lastRequest();
        EXPECT_EQ(request["target"].toString().toStdString(), "/rest/client/v1/storage/inbox/" + seeded.inbox + query);
        EXPECT_EQ(headerOf(request, "X-Session-Id"), QStringLiteral("session-1"));
        EXPECT_FALSE(request["clientSubject"].toString().isEmpty());
        std::map<std::string, std::string> expected;
        for (const char* name : {"0", "0.sign", "1", "1.sign", "2", "2.sign"})
            expected[name] = fileText(document("inbox", seeded.inbox) / name);
        EXPECT_EQ(testsupport::zipEntries(target, directory), expected) << path;
    }
}

TEST_F(RestClientAtPortal, SessionIdIsSentAlsoWhenEmpty)
{
    unlockKey();
    for (const QString& sessionId : {QString(), QStringLiteral("abc")}) {
        client.getSignVerificationData(sessionId, QUuid(QString::fromStdString(seeded.inbox)));
        bool present = false;
        EXPECT_EQ(headerOf(lastRequest(), "X-Session-Id", &present), sessionId);
        EXPECT_TRUE(present) << sessionId.toStdString();
    }
}

TEST_F(RestClientAtPortal, SignaturesArriveIntactWithAnExactLengthAndTheDraftIsSent)
{
    unlockKey();
    const std::string id = seeded.fullDraft;
    const QUuid draftId(QString::fromStdString(id));
    std::string bigSign(3 << 20, '\0');
    for (std::size_t i = 0; i < bigSign.size(); ++i)
        bigSign[i] = static_cast<char>((i * 7919) >> 3);
    const std::map<std::string, std::string> files = {
        {id + ".0", "<signed>true</signed>\r\n--velmar-\r\n"},
        {id + ".0.sign", std::string("\x30\x82\0\r\n--", 7)},
        {id + ".1.sign", bigSign},
        {id + ".3.sign", ""},
    };
    QVector<QFileInfo> signs;
    for (const char* name : {".0.sign", ".1.sign", ".3.sign"})
        signs.append(QFileInfo(fileInfoPath(writeFile(id + name, files.at(id + name)))));
    client.sendSigns("s", draftId, QFileInfo(fileInfoPath(writeFile(id + ".0", files.at(id + ".0")))), signs);

    const QJsonObject request = lastRequest();
    EXPECT_EQ(request["target"].toString().toStdString(), "/rest/client/v1/documents/drafts/" + id + "/sign");
    EXPECT_TRUE(headerOf(request, "Content-Type").startsWith("multipart/form-data; boundary="));
    EXPECT_FALSE(headerOf(request, "Content-Length").isEmpty());
    EXPECT_TRUE(headerOf(request, "Transfer-Encoding").isEmpty());
    for (const char* name : {"0", "0.sign", "1.sign", "3.sign"})
        EXPECT_EQ(fileText(document("drafts", id) / name), files.at(id + "." + name)) << name;

    client.sendDraft("s", draftId);
    EXPECT_FALSE(std::filesystem::exists(document("drafts", id)));
    EXPECT_EQ(fileText(document("outbox", id) / "1.sign"), bigSign);
    bool hasLength = true;
    headerOf(lastRequest(), "Content-Length", &hasLength);
    EXPECT_FALSE(hasLength);

    client.deleteDraft("s", QUuid(QString::fromStdString(seeded.emptyDraft)));
    EXPECT_FALSE(std::filesystem::exists(document("drafts", seeded.emptyDraft)));
    EXPECT_EQ(lastRequest()["method"].toString(), QStringLiteral("DELETE"));
}

TEST_F(RestClientAtPortal, DraftUploadCarriesTheDocumentAndTheAttachmentsFromPartTwoOn)
{
    unlockKey();
    const std::string pdf = "%PDF-1.7 an attachment\r\n--";
    const std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    const struct
    {
        std::string id;
        std::map<std::string, std::string> parts;
        QStringList types;
    } cases[] = {
        {seeded.fullDraft,
         {{"0", "<envelope/>"}, {"1", "body"}, {"2", pdf}, {"3", png}},
         {"application/pdf", "image/png"}},
        {seeded.emptyDraft, {{"0", "<envelope/>"}, {"1", "body"}}, {}},
    };
    for (const auto& draft : cases) {
        storeLocalDraft(draft.id, draft.parts);
        const QJsonObject description{{"subject", QString::fromUtf8("Отчёт")}, {"number", 7}};

        const QJsonObject answer =
            client.putDraft("s", QUuid(QString::fromStdString(draft.id)), description).toObject();

        const QJsonObject request = lastRequest();
        EXPECT_EQ(request["method"].toString(), QStringLiteral("PUT"));
        EXPECT_EQ(request["target"].toString().toStdString(), "/rest/client/v1/documents/drafts/" + draft.id);
        EXPECT_FALSE(headerOf(request, "Content-Length").isEmpty());
        // The stand-in portal takes "document" first and then att2.data, att3.data, ... only.
        EXPECT_EQ(answer["document"].toObject(), description) << draft.id;
        const QJsonArray attachments = answer["attachments"].toArray();
        ASSERT_EQ(attachments.size(), draft.types.size()) << draft.id;
        for (int i = 0; i < attachments.size(); ++i) {
            const QJsonObject attachment = attachments[i].toObject();
            const std::string part = std::to_string(i + 2);
            EXPECT_EQ(attachment["fileName"].toString().toStdString(), draft.id + "." + part);
            EXPECT_EQ(attachment["contentType"].toString(), draft.types[i]);
            EXPECT_EQ(fileText(document("drafts", draft.id) / part), draft.parts.at(part));
        }
        EXPECT_FALSE(std::filesystem::exists(document("drafts", draft.id) / std::to_string(attachments.size() + 2)));
    }
}

TEST_F(RestClientAtPortal, PortalRefusalsRaiseRestErrorsAndLeaveNoFile)
{
    unlockKey();
    const QUuid inbox(QString::fromStdString(seeded.inbox));
    const QUuid fullDraft(QString::fromStdString(seeded.fullDraft));
    const std::filesystem::path target = directory / "refused.zip";
    const std::filesystem::path otherSign = writeFile(seeded.emptyDraft + ".0.sign", "x");
    const std::filesystem::path envelope = writeFile(seeded.fullDraft + ".0", "<x/>");
    const struct
    {
        const char* label;
        std::function<void()> call;
        int status;
        std::string message;
    } cases[] = {
        {"delete an unknown draft", [&] { client.deleteDraft("s", inbox); }, 404,
         "Not Found: no such document: drafts/" + seeded.inbox + "\n"},
        {"send an unsigned draft", [&] { client.sendDraft("s", fullDraft); }, 409,
         "Conflict: draft " + seeded.fullDraft + " is not signed: its envelope has no 0.sign\n"},
        {"upload another draft's signature",
         [&] {
             client.sendSigns("s", fullDraft, QFileInfo(fileInfoPath(envelope)), {QFileInfo(fileInfoPath(otherSign))});
         },
         400, "Bad Request: file " + seeded.emptyDraft + ".0.sign does not belong to draft " + seeded.fullDraft + "\n"},
        {"verification data of a draft", [&] { client.getSignVerificationData("s", fullDraft); }, 404,
         "Not Found: no such document: inbox/" + seeded.fullDraft + "\n"},
        {"download an unknown document",
         [&] {
             client.getFile("s", QString::fromStdString("/storage/outbox/" + seeded.inbox + "?envelope=true"),
                            QFileInfo(fileInfoPath(target)), QJsonObject());
         },
         404, "Not Found: no such document: outbox/" + seeded.inbox + "\n"},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.label << ": no error";
        } catch (const tessel::RestError& e) {
            EXPECT_EQ(e.status(), c.status) << c.label;
            EXPECT_EQ(e.message(), c.message) << c.label;
            EXPECT_EQ(std::string(e.what()), "HTTP Error " + std::to_string(c.status) + ": " + c.message) << c.label;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(std::filesystem::exists(document("drafts", seeded.fullDraft) / "0"));
    EXPECT_NE(fileText(document("drafts", seeded.fullDraft) / "0"), "<x/>");
}

TEST_F(RestClientAtPortal, SignStateGoesInUtcWithMillisecondsAndComesBackInTheVerificationData)
{
    unlockKey();
    const QUuid id(QString::fromStdString(seeded.inbox));
    const QTimeZone threeHoursAhead(3 * 3600);
    const struct
    {
        QDateTime changeTime;
        unsigned stateId;
        QString sent;
    } cases[] = {
        {QDateTime(QDate(2026, 12, 10), QTime(10, 20, 30, 500), threeHoursAhead), 1, "2026-12-10T07:20:30.500Z"},
        {QDateTime(QDate(2027, 1, 1), QTime(1, 0, 0, 7), threeHoursAhead), 2, "2026-12-31T22:00:00.007Z"},
    };
    for (const auto& c : cases) {
        client.setSignState("s", id, c.stateId, c.changeTime);
        const QJsonObject request = lastRequest();
        EXPECT_EQ(request["method"].toString(), QStringLiteral("PUT"));
        EXPECT_EQ(headerOf(request, "Content-Type"), QStringLiteral("application/json"));
        const QJsonObject recorded = jsonOf(fileText(document("inbox", seeded.inbox) / "signState.json"));
        EXPECT_EQ(recorded["changeTime"].toString(), c.sent);
        EXPECT_EQ(recorded["newStateId"].toInt(), static_cast<int>(c.stateId));

        const QJsonObject data = client.getSignVerificationData("s", id);
        EXPECT_EQ(data["signStateId"].toInt(), static_cast<int>(c.stateId));
        EXPECT_EQ(data["signCheckTime"].toString(), c.sent);
        EXPECT_EQ(data["outDocNum"].toString(), QStringLiteral("Р-2026/5521"));
        EXPECT_EQ(data["sender"].toString(), QStringLiteral("АО Регистратор"));
    }
}

// Before the key is unlocked the portal's certificate request is answered with a redirect to
// the key page, as the forwarding does: an error for the calls without a result, no data for the others.
TEST_F(RestClientAtPortal, RedirectOfALockedKeyFailsEveryCall)
{
    const QUuid draft(QString::fromStdString(seeded.fullDraft));
    const QUuid inbox(QString::fromStdString(seeded.inbox));
    const std::filesystem::path envelope = writeFile(seeded.fullDraft + ".0", "<replaced/>");
    const std::function<void()> callsWithoutResult[] = {
        [&] { client.sendSigns("s", draft, QFileInfo(fileInfoPath(envelope)), {}); },
        [&] { client.sendDraft("s", draft); },
        [&] { client.deleteDraft("s", draft); },
        [&] { client.setSignState("s", inbox, 1, QDateTime::currentDateTime()); },
    };
    for (const auto& call : callsWithoutResult) {
        try {
            call();
            ADD_FAILURE() << "the redirect was taken for success";
        } catch (const tessel::RestError& e) {
            EXPECT_STREQ(e.what(), "HTTP Error 302: Found: /local/#auth");
        }
    }
    EXPECT_NE(fileText(document("drafts", seeded.fullDraft) / "0"), "<replaced/>");
    EXPECT_TRUE(std::filesystem::exists(document("drafts", seeded.fullDraft)));
    EXPECT_FALSE(std::filesystem::exists(document("inbox", seeded.inbox) / "signState.json"));

    const std::filesystem::path target = directory / "redirected.zip";
    try {
        client.getFile("s", QString::fromStdString("/storage/inbox/" + seeded.inbox + "?envelope=true"),
                       QFileInfo(fileInfoPath(target)), QJsonObject());
        ADD_FAILURE() << "getFile took the redirect for data";
    } catch (const tessel::utils::exception& e) {
        EXPECT_STREQ(e.what(), "Response does not contains needed data");
    }
    EXPECT_FALSE(std::filesystem::exists(target));
    storeLocalDraft(seeded.fullDraft, {{"0", "<envelope/>"}, {"2", "attachment"}});
    const std::function<void()> jsonCalls[] = {
        [&] { client.getSignVerificationData("s", inbox); },
        [&] { client.putDraft("s", draft, QJsonObject()); },
    };
    for (const auto& call : jsonCalls) {
        try {
            call();
            ADD_FAILURE() << "the redirect was taken for data";
        } catch (const tessel::utils::exception& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Error parsing json from string: ", 0), 0u) << e.what();
        }
    }
    EXPECT_FALSE(std::filesystem::exists(document("drafts", seeded.fullDraft) / "document.json"));
}

} // namespace
