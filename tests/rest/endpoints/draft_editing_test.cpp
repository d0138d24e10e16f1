#include "document_exchange.h"

#include "support/zip_entries.h"

#include <QJsonDocument>

#include <fstream>

namespace {

const std::string pdf = "%PDF-1.4 the uploaded contract";
const std::string firstPage = std::string("\x89PNG\r\n\x1a\n", 8) + " first page";
const std::string secondPage = std::string("\x89PNG\r\n\x1a\n", 8) + " second page";

QJsonValue jsonOf(const CurlAnswer& answer)
{
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(answer.body));
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

// The proxy and the portal of DocumentExchange, with uploads into the temporary storage.
class DraftEditing : public DocumentExchange
{
protected:
    // Uploads a file of that content as the web client does; gives its temporary id.
    std::string upload(const std::string& type, const std::string& content)
    {
        const std::filesystem::path file = directory / ("upload" + std::to_string(++m_uploads));
        std::ofstream(file, std::ios::binary) << content;
        const CurlAnswer answer =
            runCurl({"-F", "file=@" + file.string(), proxy.url("/local/rest/v1/storage?type=" + type)});
        const QJsonArray ids = jsonOf(answer).toArray();
        EXPECT_EQ(ids.size(), 1) << answer.body;
        return ids.first().toString().toStdString();
    }

    std::string temporaryFile(const std::string& id) { return call("GET", "storage/" + id).body; }

    // The contents of the pages a scan answer names, in order.
    std::vector<std::string> pagesOf(const CurlAnswer& answer)
    {
        EXPECT_EQ(answer.status, 200) << answer.body;
        std::vector<std::string> pages;
        for (const QJsonValue& id : jsonOf(answer).toArray())
            pages.push_back(temporaryFile(id.toString().toStdString()));
        return pages;
    }

    std::filesystem::path localDraftPart(const std::string& part) const
    {
        return localStore("drafts") / (std::string(fullDraft) + "." + part);
    }

    std::string scanRequest(int attachment, const std::string& images = "") const
    {
        return std::string(R"({"documentId": ")") + fullDraft + R"(", "attachmentIdx": )" + std::to_string(attachment)
            + (images.empty() ? "" : R"(, "images": )" + images) + "}";
    }

    int m_uploads = 0;
};

} // namespace

TEST_F(DraftEditing, SavingADraftPlaysTheEditsAndGivesThePortalTheSameDraft)
{
    const std::string pdfId = upload("pdf", pdf);
    const std::string firstId = upload("scans", firstPage);
    const std::string secondId = upload("scans", secondPage);
    const std::filesystem::path atPortal = portalDocument("drafts", fullDraft);
    const std::string thirdPart = fileText(atPortal / "3");

    const CurlAnswer saved = call("PUT", std::string("drafts/") + fullDraft,
                                  R"({"subject": "Edited", "attachments": [
        {"action": 2, "attachIdx": 3, "moveTo": 4},
        {"action": 5, "attachIdx": 2, "file": ")"
                                      + pdfId + R"("},
        {"action": 3, "attachIdx": 3, "images": [")"
                                      + firstId + R"(", ")" + secondId + R"("]},
        {"action": 4, "files": [")" + pdfId
                                      + R"("]}]})");
    ASSERT_EQ(saved.status, 200) << saved.body;

    // The portal's answer comes back; the draft object went without its edits.
    const QJsonObject answer = jsonOf(saved).toObject();
    EXPECT_EQ(answer.value("document").toObject(), (QJsonObject{{"subject", "Edited"}}));
    const QJsonArray attachments = answer.value("attachments").toArray();
    ASSERT_EQ(attachments.size(), 3) << saved.body;
    EXPECT_EQ(attachments[0].toObject().value("contentType").toString(), QStringLiteral("application/pdf"));
    EXPECT_EQ(attachments[1].toObject().value("contentType").toString(), QStringLiteral("application/zip"));
    EXPECT_EQ(attachments[2].toObject().value("fileName").toString().toStdString(), std::string(fullDraft) + ".4");

    // The portal holds what the workstation holds.
    EXPECT_EQ(fileText(atPortal / "2"), pdf);
    EXPECT_EQ(fileText(atPortal / "4"), thirdPart);
    const std::map<std::string, std::string> scan = testsupport::zipEntries(atPortal / "3", directory / "unzipped");
    EXPECT_EQ(scan, (std::map<std::string, std::string>{{"page00000.img", firstPage}, {"page00001.img", secondPage}}));
    for (const char* part : {"2", "3", "4"})
        EXPECT_EQ(fileText(localDraftPart(part)), fileText(atPortal / part)) << part;

    // Only the uploads the edits released are gone.
    EXPECT_EQ(call("GET", "storage/" + pdfId).status, 404);
    EXPECT_EQ(temporaryFile(firstId), firstPage);

    // The saved scan opens page by page.
    EXPECT_EQ(pagesOf(call("POST", "scans", scanRequest(3))), (std::vector<std::string>{firstPage, secondPage}));
}

TEST_F(DraftEditing, ARefusedSaveChangesNothing)
{
    const std::string pngId = upload("scans", firstPage);
    const std::filesystem::path atPortal = portalDocument("drafts", fullDraft);
    const std::string second = fileText(atPortal / "2");
    const struct
    {
        std::string body;
        int status;
        std::string message;
    } cases[] = {
        {R"({"subject": "no edits"})", 400, "Bad request!"},
        {R"({"attachments": {"action": 1}})", 400, "Bad request!"},
        {R"({"attachments": [{"action": 1, "attachIdx": 2}, {"action": 7}]})", 500, "Unknown commit action 7"},
        {R"({"attachments": [{"action": 1, "attachIdx": 3}, {"action": 5, "attachIdx": 2, "file": ")" + pngId
             + R"("}]})",
         500, "validateCommitData(): {" + pngId + "} is not a PDF file."},
    };
    for (const auto& bad : cases) {
        const CurlAnswer refused = call("PUT", std::string("drafts/") + fullDraft, bad.body);
        EXPECT_EQ(refused.status, bad.status) << bad.body;
        EXPECT_EQ(refused.body, bad.message) << bad.body;
    }
    EXPECT_EQ(fileText(atPortal / "2"), second);
    EXPECT_TRUE(std::filesystem::exists(atPortal / "3"));
    EXPECT_FALSE(std::filesystem::exists(atPortal / "document.json"));
    EXPECT_FALSE(std::filesystem::exists(localDraftPart("2")));
}

TEST_F(DraftEditing, ScanPagesAreSavedIntoTheDraftAndOpenedInTheirNewOrder)
{
    ASSERT_EQ(call("PUT", std::string("drafts/") + fullDraft, R"({"attachments": []})").status, 200);
    const std::string firstId = upload("scans", firstPage);
    const std::string secondId = upload("scans", secondPage);

    const CurlAnswer saved = call("PUT", "scans", scanRequest(3, "[\"" + secondId + "\", \"" + firstId + "\"]"));
    ASSERT_EQ(saved.status, 200) << saved.body;
    EXPECT_EQ(saved.body, "null");

    EXPECT_EQ(pagesOf(call("POST", "scans", scanRequest(3))), (std::vector<std::string>{secondPage, firstPage}));
    // Saved locally only: the portal gets the scan with the next save of the draft.
    EXPECT_NE(fileText(portalDocument("drafts", fullDraft) / "3"), fileText(localDraftPart("3")));
}

TEST_F(DraftEditing, BadScanRequestsAreRefusedAndSaveNothing)
{
    ASSERT_EQ(call("PUT", std::string("drafts/") + fullDraft, R"({"attachments": []})").status, 200);
    const std::string before = fileText(localDraftPart("3"));
    const std::string pageId = upload("scans", firstPage);
    const struct
    {
        const char* method;
        std::string body;
    } cases[] = {
        {"POST", R"({"documentId": "not a uuid", "attachmentIdx": 3})"},
        {"POST", std::string(R"({"documentId": ")") + fullDraft + R"(", "attachmentIdx": "3"})"},
        {"POST", scanRequest(-1)},
        {"PUT", scanRequest(3)},
        {"PUT", scanRequest(3, "[\"" + pageId + "\", \"page two\"]")},
        {"PUT", std::string(R"({"attachmentIdx": 3, "images": []})")},
    };
    for (const auto& bad : cases) {
        const CurlAnswer refused = call(bad.method, "scans", bad.body);
        EXPECT_EQ(refused.status, 400) << bad.method << " " << bad.body;
        EXPECT_EQ(refused.body, "Bad request!") << bad.method << " " << bad.body;
    }
    EXPECT_EQ(fileText(localDraftPart("3")), before);
}

TEST_F(DraftEditing, ScansOfSentAndReceivedDocumentsOpenFromTheirStores)
{
    const std::string firstId = upload("scans", firstPage);
    ASSERT_EQ(call("PUT", std::string("drafts/") + fullDraft,
                   R"({"attachments": [{"action": 3, "attachIdx": 2, "images": [")" + firstId + R"("]}]})")
                  .status,
              200);
    ASSERT_EQ(call("POST", "drafts/send", std::string(R"({"uids": ")") + fullDraft + R"(", "pwd": "4711"})").status,
              204);
    ASSERT_EQ(finishedProcessOf(fullDraft).value("state").toInt(), 3);

    EXPECT_EQ(pagesOf(call("GET", std::string("outbox/") + fullDraft + "/attachments/scan/2")),
              std::vector<std::string>{firstPage});

    // The received document's attachment is no scan: the archive error comes back.
    const CurlAnswer noScan = call("GET", std::string("inbox/") + incoming + "/attachments/scan/2");
    EXPECT_EQ(noScan.status, 500);
    EXPECT_NE(noScan.body.find("not a ZIP archive"), std::string::npos) << noScan.body;
}
