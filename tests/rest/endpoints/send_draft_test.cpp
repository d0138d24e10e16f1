#include "document_exchange.h"

#include <QDomDocument>
#include <QFile>

namespace {

using SendDraft = DocumentExchange;

std::string localFile(const std::filesystem::path& store, const std::string& id, const std::string& suffix)
{
    return (store / (id + suffix)).string();
}

} // namespace

TEST_F(SendDraft, SignsEveryPartThenTheEnvelopeAndSendsTheDraft)
{
    const CurlAnswer started =
        call("POST", "drafts/send", std::string(R"({"uids": ")") + fullDraft + R"(", "pwd": "4711"})");
    ASSERT_EQ(started.status, 204) << started.body;

    const QJsonObject status = finishedProcessOf(fullDraft);
    EXPECT_EQ(status.value("state").toInt(), 3) << status.value("errorMsg").toString().toStdString();
    EXPECT_EQ(status.value("stage").toString(), QStringLiteral("Document sent"));
    EXPECT_EQ(status.value("desc").toString().toStdString(), std::string("Send document # ") + fullDraft);

    const std::filesystem::path drafts = localStore("drafts");
    for (const char* part : {".0", ".1", ".2", ".3"}) {
        const std::string data = localFile(drafts, fullDraft, part);
        EXPECT_TRUE(verifiesWithOpenSsl(data, data + ".sign")) << part;
    }

    // The envelope was rewritten before it was signed: its signature covers the hashes.
    QFile envelope(QString::fromStdString(localFile(drafts, fullDraft, ".0")));
    ASSERT_TRUE(envelope.open(QIODevice::ReadOnly));
    QDomDocument xml;
    ASSERT_TRUE(xml.setContent(&envelope));
    EXPECT_EQ(xml.documentElement().firstChildElement("signed").text(), QStringLiteral("true"));
    const QDomNodeList attachments = xml.elementsByTagName("attachment");
    ASSERT_EQ(attachments.size(), 3);
    for (int i = 0; i < attachments.size(); ++i)
        EXPECT_FALSE(attachments.at(i).firstChildElement("hash").text().isEmpty()) << i;

    // The portal got the envelope with the signatures and sent the draft.
    const std::filesystem::path sent = portalDocument("outbox", fullDraft);
    EXPECT_FALSE(std::filesystem::exists(portalDocument("drafts", fullDraft)));
    EXPECT_EQ(fileText(sent / "0"), fileText(localFile(drafts, fullDraft, ".0")));
    for (const char* part : {"0", "1", "2", "3"})
        EXPECT_TRUE(verifiesWithOpenSsl(sent / part, sent / (std::string(part) + ".sign"))) << part;
}

TEST_F(SendDraft, ADraftWithoutBodyFailsWhileSigningAndLeavesNoSignature)
{
    ASSERT_EQ(call("POST", "drafts/send", std::string(R"({"uids": [")") + emptyDraft + R"("], "pwd": "4711"})").status,
              204);

    const QJsonObject status = finishedProcessOf(emptyDraft);
    EXPECT_EQ(status.value("state").toInt(), 2);
    EXPECT_EQ(status.value("stage").toString(), QStringLiteral("Sign draft"));
    EXPECT_EQ(status.value("errorMsg").toString(), QStringLiteral("Can't sign draft without document body"));
    EXPECT_TRUE(std::filesystem::exists(localStore("drafts") / (std::string(emptyDraft) + ".0")));
    EXPECT_FALSE(std::filesystem::exists(localStore("drafts") / (std::string(emptyDraft) + ".0.sign")));
}

TEST_F(SendDraft, AWrongPasswordFailsTheProcessAndTheDraftStaysAtThePortal)
{
    ASSERT_EQ(call("POST", "drafts/send", std::string(R"({"uids": ")") + fullDraft + R"(", "pwd": "wrong"})").status,
              204);
    const QJsonObject status = finishedProcessOf(fullDraft);
    EXPECT_EQ(status.value("state").toInt(), 2);
    EXPECT_EQ(status.value("stage").toString(), QStringLiteral("Sign draft"));
    EXPECT_FALSE(status.value("errorMsg").toString().isEmpty());
    EXPECT_TRUE(std::filesystem::exists(portalDocument("drafts", fullDraft)));
}

TEST_F(SendDraft, RequestCases)
{
    const std::string nullId = "00000000-0000-0000-0000-000000000000";
    const struct
    {
        std::string body;
        int status;
        int queued; // processes listed afterwards
    } cases[] = {
        {R"({"uids": [], "pwd": "4711"})", 400, 0},
        {R"({"pwd": "4711"})", 400, 0},
        // Drafts before a bad id stay queued; those after it are not.
        {std::string(R"({"uids": [")") + emptyDraft + R"(", ")" + nullId + R"(", ")" + fullDraft + R"("]})", 400, 1},
    };
    for (const auto& c : cases) {
        const CurlAnswer answer = call("POST", "drafts/send", c.body);
        EXPECT_EQ(answer.status, c.status) << c.body;
        EXPECT_EQ(processes().size(), c.queued) << c.body;
    }
    EXPECT_EQ(processes().at(0).toObject().value("documentId").toString().toStdString(), emptyDraft);
}

TEST_F(SendDraft, DeletingADraftRemovesItAtThePortalAndHere)
{
    // The attachment download fetches the draft into the local store first.
    const CurlAnswer attachment = call("GET", std::string("drafts/") + fullDraft + "/attachments/2");
    ASSERT_EQ(attachment.status, 200);
    EXPECT_EQ(attachment.body, fileText(portalDocument("drafts", fullDraft) / "2"));
    EXPECT_EQ(attachment.header("content-disposition"), "inline; filename=\"owners.csv\"");
    ASSERT_TRUE(std::filesystem::exists(localStore("drafts") / (std::string(fullDraft) + ".2")));

    EXPECT_EQ(call("DELETE", std::string("drafts/") + fullDraft).status, 204);
    EXPECT_FALSE(std::filesystem::exists(portalDocument("drafts", fullDraft)));
    for (const char* part : {".0", ".1", ".2", ".3"})
        EXPECT_FALSE(std::filesystem::exists(localStore("drafts") / (std::string(fullDraft) + part))) << part;

    // The portal no longer knows it: the failure is answered and nothing local is touched.
    const CurlAnswer again = call("DELETE", std::string("drafts/") + fullDraft);
    EXPECT_EQ(again.status, 500);
    EXPECT_EQ(again.body.rfind("HTTP Error 404", 0), 0u) << again.body;
}
