#include "sign_records.h"

#include "docs/reports/document_copy_report.h"

#include "crypto/records/crypto_enums.h"

#include <gtest/gtest.h>

using namespace nxcrypto;
using tessel::docs::DocumentCopyData;
using tessel::docs::documentCopyReport;

namespace {

const QString requestRow = QStringLiteral("В ответ на:");
const QString signatureSection = QStringLiteral("Данные об электронной подписи");
const QString agentText = QStringLiteral("Трансфер-агентом");
const QString signatureLine = QStringLiteral("(подпись)");

QString row(const QString& label, const QString& value)
{
    return QStringLiteral("<td class=\"field\">%1</td><td>%2</td>").arg(label, value);
}

DocumentCopyData answerToARequest()
{
    DocumentCopyData data;
    data.msgType = QStringLiteral("Ответ на запрос");
    data.sender = QStringLiteral("АО Регистратор");
    data.recipient = QStringLiteral("ООО \"Ромашка\"");
    data.outDocNum = QStringLiteral("Р-2026/5521");
    data.outDocDate = QDate(2026, 12, 3);
    data.reqDocNum = QStringLiteral("И-2026/117");
    data.reqDocDate = QDate(2026, 11, 28);
    data.taName = QStringLiteral("АО Регистратор");
    const CertificateDescriptionPtr signer = certificateOf(QStringLiteral("CN=АО Регистратор"));
    data.signInfo = checkOf(SignState::Valid, CertificateState::Valid, {signOf(SignState::Valid, signer)}, signer);
    return data;
}

} // namespace

TEST(DocumentCopyReport, ShowsTheDocumentItsRequestItsSignatureAndTheAgentsCertification)
{
    const QString html = documentCopyReport(answerToARequest());
    EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE HTML PUBLIC")));
    EXPECT_TRUE(html.contains(QStringLiteral("charset=utf-8\">\n<title>Копия электронного документа</title>")));
    for (const QString& expected : {
             row(QStringLiteral("Тип документа:"), QStringLiteral("Ответ на запрос")),
             row(QStringLiteral("Отправитель:"), QStringLiteral("АО Регистратор")),
             row(QStringLiteral("Получатель:"), QStringLiteral("ООО &quot;Ромашка&quot;")),
             row(QStringLiteral("Номер:"), QStringLiteral("Р-2026/5521")),
             row(QStringLiteral("Дата:"), QStringLiteral("03-12-2026")),
             row(requestRow, QStringLiteral("№ И-2026/117 от 28-11-2026")),
             row(QStringLiteral("Подлинность документа:"), QStringLiteral("ПОДТВЕРЖДЕНА")),
             row(QStringLiteral("Статус подписи:"), signStateText(SignState::Valid)),
             row(QStringLiteral("Статус сертификата:"), certificateStateText(CertificateState::Valid)),
             row(QStringLiteral("Время проверки подписи:"), QStringLiteral("10-12-2026 08:00:01")),
             row(QStringLiteral("Данные владельца сертификата:"), QStringLiteral("CN=АО Регистратор")),
             row(QStringLiteral("Серийный номер сертификата:"), QStringLiteral("1234567890123456789")),
             row(QStringLiteral("Данные издателя сертификата:"), QStringLiteral("CN=Тестовый УЦ, O=ООО Удостоверение")),
             row(QStringLiteral("Срок действия сертификата:"),
                 QStringLiteral("С&nbsp;01-03-2021 09:05:07&nbsp;по&nbsp;31-12-2031 23:59:00")),
             QStringLiteral("Копия сформирована и выдана Трансфер-агентом \"АО Регистратор\","),
             signatureLine,
         })
        EXPECT_TRUE(html.contains(expected)) << expected.toStdString();
    EXPECT_FALSE(html.contains(QStringLiteral("{{")));
}

TEST(DocumentCopyReport, MarkupInThePortalsTextsStaysText)
{
    DocumentCopyData data = answerToARequest();
    data.sender = QStringLiteral("<script>fetch('/local/rest/v1/crypto/certificates/delete')</script>");
    data.signInfo->certificate()->setSubjectName(QStringLiteral("CN=<b>x</b> & y"));
    const QString html = documentCopyReport(data);
    EXPECT_FALSE(html.contains(QStringLiteral("<script>fetch"))) << html.toStdString();
    EXPECT_TRUE(html.contains(
        QStringLiteral("&lt;script&gt;fetch('/local/rest/v1/crypto/certificates/delete')&lt;/script&gt;")))
        << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("CN=&lt;b&gt;x&lt;/b&gt; &amp; y"))) << html.toStdString();
}

TEST(DocumentCopyReport, ASignatureThatIsNotConfirmedSaysSo)
{
    DocumentCopyData data = answerToARequest();
    data.signInfo->setCertificateState(CertificateState::UntrustedParty);
    const QString html = documentCopyReport(data);
    EXPECT_TRUE(html.contains(row(QStringLiteral("Подлинность документа:"), QStringLiteral("НЕ ПОДТВЕРЖДЕНА"))));
    EXPECT_TRUE(html.contains(
        row(QStringLiteral("Статус сертификата:"), certificateStateText(CertificateState::UntrustedParty))));
}

TEST(DocumentCopyReport, MissingPartsLeaveTheirSectionsOut)
{
    struct Case
    {
        const char* what;
        void (*change)(DocumentCopyData&);
        QStringList absent;
        QStringList present;
    };
    const Case cases[] = {
        {"no request", [](DocumentCopyData& d) { d.reqDocDate = QDate(); }, {requestRow}, {signatureSection, agentText}},
        {"no check", [](DocumentCopyData& d) { d.signInfo.reset(); }, {signatureSection}, {requestRow, agentText}},
        {"no agent",
         [](DocumentCopyData& d) { d.taName.clear(); },
         {agentText, signatureLine, QStringLiteral("М.П.")},
         {requestRow, signatureSection}},
    };
    for (const Case& c : cases) {
        DocumentCopyData data = answerToARequest();
        c.change(data);
        const QString html = documentCopyReport(data);
        for (const QString& text : c.absent)
            EXPECT_FALSE(html.contains(text)) << c.what << ": " << text.toStdString();
        for (const QString& text : c.present)
            EXPECT_TRUE(html.contains(text)) << c.what << ": " << text.toStdString();
    }
}

TEST(DocumentCopyReport, ACheckWithoutCertificateLeavesTheCertificateRowsEmpty)
{
    DocumentCopyData data = answerToARequest();
    data.signInfo->setCertificate({});
    const QString html = documentCopyReport(data);
    EXPECT_TRUE(html.contains(row(QStringLiteral("Данные владельца сертификата:"), QString())));
    EXPECT_TRUE(html.contains(row(QStringLiteral("Серийный номер сертификата:"), QString())));
    EXPECT_TRUE(
        html.contains(row(QStringLiteral("Срок действия сертификата:"), QStringLiteral("С&nbsp;&nbsp;по&nbsp;"))));
    EXPECT_TRUE(html.contains(row(QStringLiteral("Статус подписи:"), signStateText(SignState::Valid))));
}
