#include "support/file_text.h"
#include "support/portal_curl.h"
#include "support/seeded_documents.h"
#include "support/stand_in_portal_process.h"
#include "support/test_pki.h"
#include "support/zip_entries.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <fstream>
#include <map>

using testsupport::CommandResult;
using testsupport::curl;
using testsupport::curlAsUser;
using testsupport::fileText;

namespace {

struct Answer
{
    int status = 0;
    std::string body;
    std::filesystem::path bodyFile;
};

// A portal with the seeded documents, one per test: the tests change them.
class DocumentApi : public testing::Test
{
protected:
    testsupport::StandInPortalProcess portal{{"--client-auth", "optional"}};
    testsupport::SeededDocuments seeded = testsupport::seedDocuments(portal.stateDir());
    std::filesystem::path scratch = testsupport::TestPki::instance().makeTemporaryDirectory("document-api");

    std::filesystem::path document(const std::string& kind, const std::string& id) const
    {
        return portal.stateDir() / "documents" / kind / id;
    }
    std::string api(const std::string& path) const { return portal.url("/rest/client/v1/" + path); }

    Answer call(std::vector<std::string> arguments, bool withCertificate = true)
    {
        static int counter = 0;
        const std::filesystem::path bodyFile = scratch / ("answer-" + std::to_string(++counter));
        arguments.insert(arguments.begin(), {"-o", bodyFile.string(), "-w", "%{http_code}"});
        const CommandResult result = withCertificate ? curlAsUser(arguments) : curl(arguments);
        EXPECT_EQ(result.exitStatus, 0) << result.errors;
        return {std::atoi(result.output.c_str()), fileText(bodyFile), bodyFile};
    }

    // File name to content.
    std::map<std::string, std::string> filesOf(const std::filesystem::path& directory,
                                               const std::vector<std::string>& names)
    {
        std::map<std::string, std::string> files;
        for (const std::string& name : names)
            files[name] = fileText(directory / name);
        return files;
    }

    std::string formFile(const std::string& content, const std::string& fileName, const std::string& type)
    {
        const std::filesystem::path path = scratch / ("form-" + fileName);
        std::ofstream(path, std::ios::binary) << content;
        return "file=@" + path.string() + ";filename=" + fileName + ";type=" + type;
    }
};

TEST_F(DocumentApi, StorageArchiveHoldsTheChosenPartsUnderTheirNumbers)
{
    const struct
    {
        std::string kind;
        std::string id;
        std::string query;
        std::vector<std::string> entries;
    } cases[] = {
        {"inbox", seeded.inbox, "envelope=true&signs=false", {"0"}},
        {"inbox", seeded.inbox, "envelope=true&signs=true", {"0", "0.sign"}},
        {"inbox",
         seeded.inbox,
         "envelope=true&signs=true&allAttachments=true",
         {"0", "0.sign", "1", "1.sign", "2", "2.sign"}},
        {"inbox", seeded.inbox, "envelope=false&signs=true&attachmentsIndices=2", {"2", "2.sign"}},
        {"inbox", seeded.inbox, "envelope=true&signs=false&attachmentsIndices=1,2", {"0", "1", "2"}},
        {"drafts", seeded.fullDraft, "envelope=true&signs=true&allAttachments=true", {"0", "1", "2", "3"}},
        {"drafts", seeded.emptyDraft, "envelope=true&signs=false&allAttachments=true", {"0"}},
    };
    for (const auto& c : cases) {
        for (const char* root : {"/storage/", "/rest/client/v1/storage/"}) {
            const std::string target = std::string(root) + c.kind + "/" + c.id + "?" + c.query;
            const Answer answer = call({"-D", (scratch / "headers").string(), portal.url(target)});
            ASSERT_EQ(answer.status, 200) << target << ": " << answer.body;
            EXPECT_NE(fileText(scratch / "headers").find("Content-Type: application/zip"), std::string::npos) << target;
            EXPECT_EQ(testsupport::zipEntries(answer.bodyFile, scratch), filesOf(document(c.kind, c.id), c.entries))
                << target;
        }
    }
}

TEST_F(DocumentApi, RefusedRequestsNameTheirFault)
{
    const std::string inbox = "/storage/inbox/" + seeded.inbox;
    const struct
    {
        std::vector<std::string> request;
        bool withCertificate;
        int status;
        std::string message;
    } cases[] = {
        {{portal.url("/storage/inbox/" + seeded.fullDraft + "?envelope=true")}, true, 404, "no such document"},
        {{portal.url("/storage/letters/" + seeded.inbox + "?envelope=true")}, true, 404, "no such document"},
        {{"--path-as-is", portal.url("/storage/inbox/..?envelope=true")}, true, 404, "no such document"},
        {{portal.url(inbox + "?envelope=yes")}, true, 400, "envelope must be true or false"},
        {{portal.url(inbox + "?envelope=true&attachmentsIndices=3")}, true, 404, "no attachment 3"},
        {{portal.url(inbox + "?envelope=true")}, false, 403, "needs a client certificate"},
        {{"-X", "DELETE", api("documents/drafts/" + seeded.inbox)}, true, 404, "no such document"},
        {{"-X", "POST", api("documents/drafts/" + seeded.inbox + "/send")}, true, 404, "no such document"},
        {{"-X", "DELETE", api("documents/drafts/" + seeded.fullDraft)}, false, 403, "needs a client certificate"},
        {{api("documents/incoming/" + seeded.fullDraft + "/signVerificationData")}, true, 404, "no such document"},
        {{"-X", "GET", api("documents/drafts/" + seeded.fullDraft + "/sign")}, true, 405, "POST"},
    };
    for (const auto& c : cases) {
        const Answer answer = call(c.request, c.withCertificate);
        EXPECT_EQ(answer.status, c.status) << c.request.back() << ": " << answer.body;
        EXPECT_NE(answer.body.find(c.message), std::string::npos) << c.request.back() << ": " << answer.body;
    }
    EXPECT_TRUE(std::filesystem::exists(document("drafts", seeded.fullDraft) / "0"));
}

TEST_F(DocumentApi, SignaturesOfADraftAreStoredUnderThePortalsNames)
{
    const std::string id = seeded.fullDraft;
    // Bytes that a careless form parser would trip over: line ends, dashes, a zero byte, a
    // content that ends like the start of a delimiter.
    const std::string envelope = "<signed>true</signed>\r\n--\r\n";
    const std::string envelopeSign("\x30\x82\r\n--\0sig0\r\n--", 16);
    const std::string bodySign = std::string(100000, '\n') + "sig1";
    const Answer answer =
        call({"-F", formFile(envelope, id + ".0", "application/xml"), "-F",
              formFile(envelopeSign, id + ".0.sign", "application/octet-stream"), "-F",
              formFile(bodySign, id + ".1.sign", "application/octet-stream"), api("documents/drafts/" + id + "/sign")});
    ASSERT_EQ(answer.status, 204) << answer.body;
    const std::filesystem::path draft = document("drafts", id);
    EXPECT_EQ(fileText(draft / "0"), envelope);
    EXPECT_EQ(fileText(draft / "0.sign"), envelopeSign);
    EXPECT_EQ(fileText(draft / "1.sign"), bodySign);
    EXPECT_FALSE(std::filesystem::exists(draft / "2.sign"));
}

TEST_F(DocumentApi, ARefusedSignatureFormChangesNothing)
{
    const std::string id = seeded.fullDraft;
    const std::filesystem::path draft = document("drafts", id);
    const std::string envelopeBefore = fileText(draft / "0");
    const std::string goodEnvelope = formFile("new envelope", id + ".0", "application/xml");
    const struct
    {
        std::string label;
        std::vector<std::string> form;
        std::string message;
    } cases[] = {
        {"another draft's file",
         {"-F", goodEnvelope, "-F", formFile("s", seeded.emptyDraft + ".0.sign", "x/y")},
         "does not belong to draft"},
        {"a part that is no signature",
         {"-F", goodEnvelope, "-F", formFile("data", id + ".2", "x/y")},
         "only the envelope"},
        {"a signature of a missing part",
         {"-F", goodEnvelope, "-F", formFile("s", id + ".9.sign", "x/y")},
         "has no part 9"},
        {"a field without a file", {"-F", goodEnvelope, "-F", "note=plain"}, "with a file name"},
        {"no form", {"--data-binary", "plain", "-H", "Content-Type: text/plain"}, "multipart/form-data"},
        {"a form cut short",
         {"--data-binary", "--b\r\nContent-Disposition: form-data; name=\"f\"; filename=\"" + id + ".0\"\r\n\r\nxx",
          "-H", "Content-Type: multipart/form-data; boundary=b"},
         "malformed form"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> request = c.form;
        request.push_back(api("documents/drafts/" + id + "/sign"));
        const Answer answer = call(request);
        EXPECT_EQ(answer.status, 400) << c.label << ": " << answer.body;
        EXPECT_NE(answer.body.find(c.message), std::string::npos) << c.label << ": " << answer.body;
        EXPECT_EQ(fileText(draft / "0"), envelopeBefore) << c.label;
    }
    const Answer unknown = call({"-F", goodEnvelope, api("documents/drafts/" + seeded.inbox + "/sign")});
    EXPECT_EQ(unknown.status, 404) << unknown.body;
    EXPECT_TRUE(std::filesystem::is_empty(portal.stateDir() / "tmp"));
}

TEST_F(DocumentApi, OnlyASignedDraftIsSentAndADeletedDraftIsGone)
{
    const std::string id = seeded.fullDraft;
    const Answer unsigned_ = call({"-X", "POST", api("documents/drafts/" + id + "/send")});
    EXPECT_EQ(unsigned_.status, 409);
    EXPECT_NE(unsigned_.body.find("is not signed"), std::string::npos) << unsigned_.body;
    EXPECT_TRUE(std::filesystem::exists(document("drafts", id) / "0"));

    ASSERT_EQ(call({"-F", formFile("sig", id + ".0.sign", "application/octet-stream"),
                    api("documents/drafts/" + id + "/sign")})
                  .status,
              204);
    EXPECT_EQ(call({"-X", "POST", api("documents/drafts/" + id + "/send")}).status, 204);
    EXPECT_FALSE(std::filesystem::exists(document("drafts", id)));
    EXPECT_EQ(fileText(document("outbox", id) / "0.sign"), "sig");
    EXPECT_TRUE(std::filesystem::exists(document("outbox", id) / "3"));
    EXPECT_EQ(call({"-X", "POST", api("documents/drafts/" + id + "/send")}).status, 404);

    EXPECT_EQ(call({"-X", "DELETE", api("documents/drafts/" + seeded.emptyDraft)}).status, 204);
    EXPECT_FALSE(std::filesystem::exists(document("drafts", seeded.emptyDraft)));
    EXPECT_EQ(call({"-X", "DELETE", api("documents/drafts/" + seeded.emptyDraft)}).status, 404);
}

TEST_F(DocumentApi, SignStateIsRecordedAndShownInTheVerificationData)
{
    const std::string path = "documents/incoming/" + seeded.inbox;
    const auto verificationData = [&] {
        const Answer answer = call({api(path + "/signVerificationData")});
        EXPECT_EQ(answer.status, 200) << answer.body;
        return QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).object();
    };
    const QJsonObject before = verificationData();
    EXPECT_EQ(before["msgType"].toString(), QStringLiteral("Ответ на запрос"));
    EXPECT_EQ(before["sender"].toString(), QStringLiteral("АО Регистратор"));
    EXPECT_EQ(before["recipient"].toString(), QStringLiteral("ООО Ромашка"));
    EXPECT_EQ(before["taName"].toString(), QStringLiteral("АО Регистратор"));
    EXPECT_EQ(before["outDocNum"].toString(), QStringLiteral("Р-2026/5521"));
    EXPECT_EQ(before["outDocDate"].toString(), QStringLiteral("2026-12-03"));
    EXPECT_EQ(before["reqDocNum"].toString(), QStringLiteral("И-2026/117"));
    EXPECT_EQ(before["reqDocDate"].toString(), QStringLiteral("2026-11-28"));
    EXPECT_EQ(before["signStateId"].toInt(-1), 0);
    EXPECT_FALSE(before.contains("signCheckTime"));

    const Answer put =
        call({"-X", "PUT", "-H", "Content-Type: application/json", "--data-binary",
              R"({"changeTime": "2026-12-10T07:20:30.500Z", "newStateId": 1})", api(path + "/signState")});
    ASSERT_EQ(put.status, 204) << put.body;
    const QJsonObject recorded =
        QJsonDocument::fromJson(QByteArray::fromStdString(fileText(document("inbox", seeded.inbox) / "signState.json")))
            .object();
    EXPECT_EQ(recorded, (QJsonObject{{"changeTime", "2026-12-10T07:20:30.500Z"}, {"newStateId", 1}}));
    const QJsonObject after = verificationData();
    EXPECT_EQ(after["signStateId"].toInt(), 1);
    EXPECT_EQ(after["signCheckTime"].toString(), QStringLiteral("2026-12-10T07:20:30.500Z"));
}

TEST_F(DocumentApi, MalformedSignStatesAreRefusedAndTheRecordedOneStays)
{
    const std::string target = api("documents/incoming/" + seeded.inbox + "/signState");
    ASSERT_EQ(call({"-X", "PUT", "--data-binary", R"({"changeTime": "2026-12-10T07:20:30.500Z", "newStateId": 2})",
                    target})
                  .status,
              204);
    const std::string recorded = fileText(document("inbox", seeded.inbox) / "signState.json");
    const struct
    {
        std::string body;
        std::string message;
    } cases[] = {
        {"not json", "must be a JSON object"},
        {"[1, 2]", "must be a JSON object"},
        {R"({"newStateId": 1})", "changeTime must be"},
        {R"({"changeTime": "yesterday", "newStateId": 1})", "changeTime must be"},
        {R"({"changeTime": "2026-12-10T07:20:30.500Z", "newStateId": "1"})", "newStateId must be"},
        {R"({"changeTime": "2026-12-10T07:20:30.500Z", "newStateId": -1})", "newStateId must be"},
        {R"({"changeTime": "2026-12-10T07:20:30.500Z", "newStateId": 1.5})", "newStateId must be"},
        {std::string(70000, ' '), "at most 64 KiB"},
    };
    for (const auto& c : cases) {
        const Answer answer = call({"-X", "PUT", "--data-binary", c.body, target});
        EXPECT_EQ(answer.status, 400) << c.body.substr(0, 80);
        EXPECT_NE(answer.body.find(c.message), std::string::npos) << c.body.substr(0, 80) << ": " << answer.body;
    }
    EXPECT_EQ(fileText(document("inbox", seeded.inbox) / "signState.json"), recorded);
    const Answer unknown =
        call({"-X", "PUT", "--data-binary", R"({"changeTime": "2026-12-10T07:20:30.500Z", "newStateId": 1})",
              api("documents/incoming/" + seeded.fullDraft + "/signState")});
    EXPECT_EQ(unknown.status, 404);
}

} // namespace
