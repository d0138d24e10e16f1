#include "document_exchange.h"

#include <QJsonDocument>

#include <algorithm>

namespace {

using SignatureViews = DocumentExchange;

const std::string agentSubject = "CN=Трансфер-Агент Тест, O=АО Регистратор, C=RU";
const std::string userSubject = "CN=Иванов Иван Иванович";
const std::string confirmed = "<span style=\"color: green\">ПОДТВЕРЖДЕНА</span>";
const std::string notConfirmed = "<span style=\"color: red\">НЕ ПОДТВЕРЖДЕНА</span>";

bool contains(const std::string& html, const std::string& text) { return html.find(text) != std::string::npos; }

long requestsTo(const testsupport::StandInPortalProcess& portal, const std::string& target)
{
    const std::vector<std::string> log = portal.requestLog();
    return std::count_if(log.begin(), log.end(), [&](const std::string& line) { return contains(line, target); });
}

QJsonObject recordedSignState(const std::filesystem::path& document)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(fileText(document / "signState.json"))).object();
}

std::string localTimeText(const QString& isoTime)
{
    return QDateTime::fromString(isoTime, Qt::ISODateWithMs)
        .toLocalTime()
        .toString(QStringLiteral("dd-MM-yyyy HH:mm:ss"))
        .toStdString();
}

} // namespace

TEST_F(SignatureViews, TheCheckOfATrustedIncomingDocumentIsShownAndReportedToThePortal)
{
    trustAgent();
    const CurlAnswer answer = call("GET", std::string("inbox/") + incoming + "/sign");
    ASSERT_EQ(answer.status, 200) << answer.body;
    EXPECT_EQ(answer.header("content-type"), "text/html");
    EXPECT_TRUE(contains(answer.body, confirmed)) << answer.body;
    EXPECT_TRUE(contains(answer.body, "Владелец сертификата: <span class=\"value\">" + agentSubject)) << answer.body;
    for (const char* heading :
         {"<h4>Подпись сообщения</h4>", "<h4>Подпись вложения № 1</h4>", "<h4>Подпись вложения № 2</h4>"})
        EXPECT_TRUE(contains(answer.body, heading)) << heading;
    EXPECT_FALSE(contains(answer.body, "<h4>Подпись вложения № 3</h4>"));
    EXPECT_FALSE(contains(answer.body, "Исключение"));

    EXPECT_EQ(requestsTo(portal, "/signState"), 1);
    EXPECT_EQ(recordedSignState(portalDocument("inbox", incoming)).value("newStateId").toInt(), 1);
}

TEST_F(SignatureViews, AnUntrustedSignerIsShownAsNotConfirmedAndNothingIsReported)
{
    installRevocationLists();
    const CurlAnswer answer = call("GET", std::string("inbox/") + incoming + "/sign");
    ASSERT_EQ(answer.status, 200) << answer.body;
    EXPECT_TRUE(contains(answer.body, notConfirmed)) << answer.body;
    EXPECT_TRUE(
        contains(answer.body, "Статус сертификата: <span class=\"value\">Сертификат неизвестного доверенного лица"))
        << answer.body;
    EXPECT_TRUE(contains(answer.body, agentSubject));
    EXPECT_EQ(requestsTo(portal, "/signState"), 0);
}

TEST_F(SignatureViews, APartThatDoesNotMatchItsSignatureIsShownInItsBlock)
{
    trustAgent();
    const std::filesystem::path document = portalDocument("inbox", incoming);
    std::filesystem::copy_file(document / "1.sign", document / "2.sign",
                               std::filesystem::copy_options::overwrite_existing);

    const CurlAnswer answer = call("GET", std::string("inbox/") + incoming + "/sign");
    ASSERT_EQ(answer.status, 200) << answer.body;
    EXPECT_TRUE(contains(answer.body, notConfirmed));
    const std::size_t secondBlock = answer.body.find("<h4>Подпись вложения № 2</h4>");
    ASSERT_NE(secondBlock, std::string::npos);
    EXPECT_TRUE(contains(answer.body.substr(secondBlock),
                         "Статус подписи блока данных: <span class=\"value\">Подпись некорректна"))
        << answer.body.substr(secondBlock);
    EXPECT_EQ(requestsTo(portal, "/signState"), 0);
}

TEST_F(SignatureViews, APortalThatRefusesTheSignStateStillGetsTheReportShown)
{
    trustAgent();
    // A directory where the portal writes the state: its update fails.
    std::filesystem::create_directory(portalDocument("inbox", incoming) / "signState.json");

    const CurlAnswer answer = call("GET", std::string("inbox/") + incoming + "/sign");
    ASSERT_EQ(answer.status, 200) << answer.body;
    EXPECT_TRUE(contains(answer.body, confirmed));
    EXPECT_EQ(requestsTo(portal, "/signState"), 1);
    const std::vector<std::string> info = proxy.records("INFO");
    EXPECT_TRUE(std::any_of(info.begin(), info.end(), [](const std::string& record) {
        return contains(record, std::string("Error while updating sign state for document ") + incoming);
    })) << proxy.log();
}

TEST_F(SignatureViews, ASentDocumentSignedWithTheOwnKeyIsConfirmedAndNeverReported)
{
    trustAgent();
    ASSERT_EQ(call("POST", "drafts/send", std::string(R"({"uids": ")") + fullDraft + R"(", "pwd": "4711"})").status,
              204);
    ASSERT_EQ(finishedProcessOf(fullDraft).value("state").toInt(), 3);

    const CurlAnswer answer = call("GET", std::string("outbox/") + fullDraft + "/sign");
    ASSERT_EQ(answer.status, 200) << answer.body;
    EXPECT_TRUE(contains(answer.body, confirmed)) << answer.body;
    EXPECT_TRUE(contains(answer.body, "Владелец сертификата: <span class=\"value\">" + userSubject)) << answer.body;
    EXPECT_TRUE(contains(answer.body, "<h4>Подпись вложения № 3</h4>"));
    EXPECT_EQ(requestsTo(portal, "/signState"), 0);
}

TEST_F(SignatureViews, TheCopyOfADocumentNeverCheckedShowsItsDataAndNoSignature)
{
    const CurlAnswer answer = call("GET", std::string("inbox/") + incoming + "/reassure");
    ASSERT_EQ(answer.status, 200) << answer.body;
    EXPECT_EQ(answer.header("content-type"), "text/html");
    for (const std::string& row : {
             std::string("<td class=\"field\">Тип документа:</td><td>Ответ на запрос</td>"),
             std::string("<td class=\"field\">Отправитель:</td><td>АО Регистратор</td>"),
             std::string("<td class=\"field\">Получатель:</td><td>ООО Ромашка</td>"),
             std::string("<td class=\"field\">Номер:</td><td>Р-2026/5521</td>"),
             std::string("<td class=\"field\">Дата:</td><td>03-12-2026</td>"),
             std::string("<td class=\"field\">В ответ на:</td><td>№ И-2026/117 от 28-11-2026</td>"),
             std::string("Копия сформирована и выдана Трансфер-агентом \"АО Регистратор\","),
         })
        EXPECT_TRUE(contains(answer.body, row)) << row << "\n" << answer.body;
    EXPECT_FALSE(contains(answer.body, "Данные об электронной подписи"));
    // Nothing was verified, so nothing was fetched.
    EXPECT_EQ(requestsTo(portal, "/storage/inbox/"), 0);
}

TEST_F(SignatureViews, TheCopyOfACheckedDocumentShowsTheCheckAsOfThePortalsTime)
{
    trustAgent();
    ASSERT_EQ(call("GET", std::string("inbox/") + incoming + "/sign").status, 200);
    const QJsonObject recorded = recordedSignState(portalDocument("inbox", incoming));

    const CurlAnswer answer = call("GET", std::string("inbox/") + incoming + "/reassure");
    ASSERT_EQ(answer.status, 200) << answer.body;
    EXPECT_TRUE(contains(answer.body, "Данные об электронной подписи")) << answer.body;
    EXPECT_TRUE(contains(answer.body, "<td class=\"field\">Подлинность документа:</td><td>ПОДТВЕРЖДЕНА</td>"));
    EXPECT_TRUE(contains(answer.body, "<td class=\"field\">Данные владельца сертификата:</td><td>" + agentSubject));
    EXPECT_TRUE(contains(answer.body,
                         "<td class=\"field\">Время проверки подписи:</td><td>"
                             + localTimeText(recorded.value("changeTime").toString()) + "</td>"))
        << recorded.value("changeTime").toString().toStdString() << "\n"
        << answer.body;
}

TEST_F(SignatureViews, BadIdsAndUnknownDocumentsAreRefused)
{
    const std::string nullId = "00000000-0000-0000-0000-000000000000";
    const std::string unknown = "11111111-2222-3333-4444-555555555555";
    const std::pair<std::string, int> cases[] = {
        {"inbox/" + nullId + "/sign", 400},     {"outbox/" + nullId + "/sign", 400},
        {"inbox/" + nullId + "/reassure", 400}, {"inbox/" + unknown + "/sign", 500},
        {"outbox/" + unknown + "/sign", 500},   {"inbox/" + unknown + "/reassure", 500},
    };
    for (const auto& [path, status] : cases) {
        const CurlAnswer answer = call("GET", path);
        EXPECT_EQ(answer.status, status) << path;
        EXPECT_EQ(answer.body.substr(0, status == 400 ? 12 : 14), status == 400 ? "Bad request!" : "HTTP Error 404")
            << path << ": " << answer.body;
    }
}
