#include "document_exchange.h"

#include <QJsonDocument>

#include <algorithm>
#include <fstream>

namespace {

using ReceiveDocument = DocumentExchange;

int newStateIdAtPortal(const std::filesystem::path& document)
{
    const std::string recorded = fileText(document / "signState.json");
    return QJsonDocument::fromJson(QByteArray::fromStdString(recorded)).object().value("newStateId").toInt(-1);
}

long storageDownloads(const testsupport::StandInPortalProcess& portal)
{
    const std::vector<std::string> log = portal.requestLog();
    return std::count_if(log.begin(), log.end(),
                         [](const std::string& line) { return line.find("/storage/inbox/") != std::string::npos; });
}

} // namespace

TEST_F(ReceiveDocument, ValidSignaturesOfATrustedAgentAreConfirmedAndTheDocumentIsFetchedOnce)
{
    trustAgent();
    const CurlAnswer started = call("GET", std::string("inbox/") + incoming);
    ASSERT_EQ(started.status, 200) << started.body;
    EXPECT_EQ(started.body.size(), 36u) << started.body;

    const QJsonObject status = finishedProcessOf(incoming);
    EXPECT_EQ(status.value("processId").toString().toStdString(), started.body);
    EXPECT_EQ(status.value("state").toInt(), 3) << status.value("errorMsg").toString().toStdString();
    EXPECT_EQ(status.value("stage").toString(), QStringLiteral("Document received"));
    EXPECT_EQ(status.value("desc").toString().toStdString(), std::string("Receive document # ") + incoming);
    EXPECT_EQ(newStateIdAtPortal(portalDocument("inbox", incoming)), 1);
    for (const char* part : {".0", ".0.sign", ".1", ".1.sign", ".2", ".2.sign"})
        EXPECT_TRUE(std::filesystem::exists(localStore("inbox") / (std::string(incoming) + part))) << part;
    const long downloads = storageDownloads(portal);

    // A complete local copy is checked again without another download.
    ASSERT_EQ(call("POST", "processes/clear").status, 204);
    ASSERT_EQ(call("GET", std::string("inbox/") + incoming).status, 200);
    EXPECT_EQ(finishedProcessOf(incoming).value("state").toInt(), 3);
    EXPECT_EQ(storageDownloads(portal), downloads);
}

TEST_F(ReceiveDocument, AnUntrustedSignerIsReportedAsNotConfirmed)
{
    ASSERT_EQ(call("GET", std::string("inbox/") + incoming).status, 200);
    EXPECT_EQ(finishedProcessOf(incoming).value("state").toInt(), 3);
    EXPECT_EQ(newStateIdAtPortal(portalDocument("inbox", incoming)), 2);
}

TEST_F(ReceiveDocument, ASignatureThatDoesNotMatchItsPartIsReportedAndTheProcessStillEnds)
{
    trustAgent();
    const std::filesystem::path document = portalDocument("inbox", incoming);
    std::filesystem::copy_file(document / "1.sign", document / "2.sign",
                               std::filesystem::copy_options::overwrite_existing);

    ASSERT_EQ(call("GET", std::string("inbox/") + incoming).status, 200);
    EXPECT_EQ(finishedProcessOf(incoming).value("state").toInt(), 3);
    EXPECT_EQ(newStateIdAtPortal(document), 2);
}

TEST_F(ReceiveDocument, AnUnknownDocumentFailsWhileReceiving)
{
    const std::string unknown = "11111111-2222-3333-4444-555555555555";
    ASSERT_EQ(call("GET", "inbox/" + unknown).status, 200);
    const QJsonObject status = finishedProcessOf(unknown);
    EXPECT_EQ(status.value("state").toInt(), 2);
    EXPECT_EQ(status.value("stage").toString(), QStringLiteral("Receive document from server"));
    EXPECT_EQ(status.value("errorMsg").toString().left(14), QStringLiteral("HTTP Error 404"));
}

TEST_F(ReceiveDocument, AttachmentsAreListedWithoutTheBodyAndDownloadUnderTheirNames)
{
    const CurlAnswer listed = call("GET", std::string("inbox/") + incoming + "/attachments");
    ASSERT_EQ(listed.status, 200) << listed.body;
    const QJsonArray attachments = QJsonDocument::fromJson(QByteArray::fromStdString(listed.body)).array();
    ASSERT_EQ(attachments.size(), 1);
    const QJsonObject second = attachments.at(0).toObject();
    EXPECT_EQ(second.value("index").toInt(), 2);
    EXPECT_EQ(second.value("description").toString(), QStringLiteral("register.bin - Выписка из реестра"));
    EXPECT_FALSE(second.value("type").toString().isEmpty());
    EXPECT_EQ(second.value("scan").toBool(true), false);

    const CurlAnswer file = call("GET", std::string("inbox/") + incoming + "/attachments/2");
    ASSERT_EQ(file.status, 200);
    EXPECT_EQ(file.body, fileText(portalDocument("inbox", incoming) / "2"));
    EXPECT_EQ(file.header("content-type"), "application/octet-stream");
    EXPECT_EQ(file.header("content-disposition"), "inline; filename=\"register.bin\"");

    for (const char* number : {"0", "1", "3"})
        EXPECT_EQ(call("GET", std::string("inbox/") + incoming + "/attachments/" + number).status, 404) << number;
    EXPECT_EQ(call("GET", "inbox/00000000-0000-0000-0000-000000000000/attachments/2").status, 400);

    // The report is part 2, under the type of the second attachment record.
    const CurlAnswer report = call("GET", std::string("inbox/") + incoming + "/viewReport");
    ASSERT_EQ(report.status, 200);
    EXPECT_EQ(report.body, file.body);
    EXPECT_EQ(report.header("content-type"), "application/octet-stream");
    EXPECT_EQ(report.header("content-disposition"), "inline; filename=\"report.docx\"");
}
