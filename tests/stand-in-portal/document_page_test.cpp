#include "support/portal_curl.h"
#include "support/seeded_documents.h"
#include "support/stand_in_portal_process.h"

#include <gtest/gtest.h>

#include <fstream>

using testsupport::CommandResult;
using testsupport::curl;
using testsupport::curlAsUser;

namespace {

// The portal's page over the seeded documents and a few that the page must cope with.
class DocumentPage : public testing::Test
{
protected:
    static constexpr const char* hostileDraft = "11111111-2222-3333-4444-555555555555";
    static constexpr const char* brokenDraft = "aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee";
    static constexpr const char* draftWithoutEnvelope = "99999999-8888-7777-6666-555555555555";

    testsupport::StandInPortalProcess portal{{"--client-auth", "optional"}};
    testsupport::SeededDocuments seeded = testsupport::seedDocuments(portal.stateDir());

    void write(const std::string& kind, const std::string& id, const std::string& file, const std::string& content)
    {
        const std::filesystem::path directory = portal.stateDir() / "documents" / kind / id;
        std::filesystem::create_directories(directory);
        std::ofstream(directory / file, std::ios::binary) << content;
    }

    std::string page(bool withCertificate)
    {
        const std::string url = portal.url("/webclient/");
        const CommandResult result = withCertificate ? curlAsUser({"-i", url}) : curl({"-i", url});
        EXPECT_EQ(result.exitStatus, 0) << result.errors;
        return result.output;
    }
};

TEST_F(DocumentPage, ListsEachDocumentWithItsEnvelopeAndActions)
{
    write("drafts", hostileDraft, "0",
          "<document_transfer><sender><name>&lt;img src=x onerror=&quot;alert(1)&quot;&gt; &amp; Co</name></sender>"
          "<recipient><name>АО Регистратор</name></recipient><doc_num>&lt;/td&gt;</doc_num>"
          "<doc_date>2026-11-30</doc_date><msg_schema_type>RAW</msg_schema_type></document_transfer>");
    write("drafts", brokenDraft, "0", "<document_transfer><doc_num>");
    write("drafts", draftWithoutEnvelope, "1", "a body without its envelope");
    write("drafts", "not-a-document", "0", "<document_transfer/>");
    write("inbox", seeded.inbox, "signState.json", R"({"changeTime": "2026-12-10T10:00:00", "newStateId": 1})");

    const std::string text = page(true);
    EXPECT_NE(text.find("Set-Cookie: X-Session-Id="), std::string::npos) << text;
    EXPECT_NE(text.find("<p id=\"user\">Signed in as CN=Иванов Иван Иванович"), std::string::npos) << text;
    const struct
    {
        std::string what;
        std::string expected;
    } cases[] = {
        {"the full draft, dates as the user reads them",
         "<tr data-kind=\"drafts\" data-id=\"" + seeded.fullDraft
             + "\" data-number=\"И-2026/118\"><td>И-2026/118</td>"
               "<td>01.12.2026</td><td>ООО Ромашка</td><td>АО Регистратор</td><td>VELMAR_PORTAL_1_0</td><td "
               "class=\"actions\">"
               "<button type=\"button\" data-action=\"send\">Подписать и отправить</button> "
               "<button type=\"button\" data-action=\"delete\">Удалить</button></td></tr>"},
        {"the empty draft", "data-id=\"" + seeded.emptyDraft + "\" data-number=\"И-2026/119\"><td>И-2026/119</td>"},
        {"the incoming document with the recorded check and the subtype's name",
         "<tr data-kind=\"inbox\" data-id=\"" + seeded.inbox
             + "\" data-number=\"Р-2026/5521\"><td>Р-2026/5521</td>"
               "<td>03.12.2026</td><td>АО Регистратор</td><td>ООО Ромашка</td><td>Ответ на "
               "запрос</td><td>подтверждены</td>"
               "<td class=\"actions\"><button type=\"button\" data-action=\"receive\">Получить и проверить</button> "
               "<button type=\"button\" data-action=\"attachments\">Вложения</button></td></tr>"},
        {"no sent documents yet", "<p class=\"empty\">Отправленных документов нет.</p>"},
        {"envelope texts escaped",
         "data-number=\"&lt;/td&gt;\"><td>&lt;/td&gt;</td><td>30.11.2026</td>"
         "<td>&lt;img src=x onerror=&quot;alert(1)&quot;&gt; &amp; Co</td>"},
        {"an envelope that does not parse",
         "Конверт документа " + std::string(brokenDraft) + " не читается: cannot read the envelope"},
        {"a draft without its envelope",
         "Конверт документа " + std::string(draftWithoutEnvelope) + " не читается: cannot read the envelope"},
        {"the process list and the password dialog", "<input type=\"password\" name=\"pwd\""},
    };
    for (const auto& c : cases)
        EXPECT_NE(text.find(c.expected), std::string::npos) << c.what << "\n" << text;
    EXPECT_EQ(text.find("<img"), std::string::npos) << text;
    EXPECT_EQ(text.find("not-a-document"), std::string::npos) << text;
    // By date, not by id: the hostile draft's id sorts between the seeded drafts' ids.
    EXPECT_LT(text.find("&lt;/td&gt;"), text.find("И-2026/118"));
    EXPECT_LT(text.find("И-2026/118"), text.find("И-2026/119"));
}

TEST_F(DocumentPage, ShowsNoDocumentsWithoutAClientCertificate)
{
    const std::string text = page(false);
    EXPECT_NE(text.find("<p id=\"user\" class=\"anonymous\">No client certificate</p>"), std::string::npos) << text;
    EXPECT_EQ(text.find("И-2026/118"), std::string::npos) << text;
    EXPECT_EQ(text.find("<script>"), std::string::npos) << text;
}

TEST_F(DocumentPage, FollowsTheDocumentsAsTheyMove)
{
    const std::filesystem::path documents = portal.stateDir() / "documents";
    std::filesystem::create_directories(documents / "outbox");
    std::filesystem::rename(documents / "drafts" / seeded.fullDraft, documents / "outbox" / seeded.fullDraft);
    const std::string text = page(true);
    const std::size_t sent = text.find("<section id=\"outbox\">");
    ASSERT_NE(sent, std::string::npos) << text;
    EXPECT_GT(text.find("data-number=\"И-2026/118\""), sent) << text;
    EXPECT_NE(text.find("<button type=\"button\" data-action=\"attachments\">Вложения</button></td></tr>", sent),
              std::string::npos)
        << text;
}

} // namespace
