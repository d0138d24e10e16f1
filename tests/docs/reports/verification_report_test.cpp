#include "sign_records.h"

#include "docs/reports/verification_report.h"

#include "crypto/records/crypto_enums.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace nxcrypto;
using tessel::docs::verificationReport;

namespace {

const QString certificatePanel = QStringLiteral("Владелец сертификата: ");
const QString signerHeading = QStringLiteral("Сертификат лица, подписавшего данные: ");
const QString exceptionLine = QStringLiteral("Исключение, возникшее при проверке данных: ");
const QString emptyList = QStringLiteral("Список данных подписи отсутствует");

void expectEveryTagFilled(const QString& html)
{
    EXPECT_FALSE(html.contains(QStringLiteral("{{"))) << html.toStdString();
    EXPECT_FALSE(html.contains(QStringLiteral("{%"))) << html.toStdString();
}

} // namespace

TEST(VerificationReport, OnlyCorrectSignaturesOfAValidSignerConfirmTheDocument)
{
    struct Case
    {
        SignState signState;
        CertificateState certificateState;
        bool confirmed;
    };
    const Case cases[] = {
        {SignState::Valid, CertificateState::Valid, true},
        {SignState::Valid, CertificateState::UntrustedParty, false},
        {SignState::Valid, CertificateState::Revoked, false},
        {SignState::Invalid, CertificateState::Valid, false},
        {SignState::NotDetermined, CertificateState::Valid, false},
    };
    for (const Case& c : cases) {
        const QString html = verificationReport(checkOf(c.signState, c.certificateState));
        const QString expected = c.confirmed ? QStringLiteral("<span style=\"color: green\">ПОДТВЕРЖДЕНА</span>")
                                             : QStringLiteral("<span style=\"color: red\">НЕ ПОДТВЕРЖДЕНА</span>");
        EXPECT_TRUE(html.contains(expected))
            << static_cast<int>(c.signState) << " " << static_cast<int>(c.certificateState);
        EXPECT_TRUE(html.contains(
            QStringLiteral("Статус подписи: <span class=\"value\">%1</span>").arg(signStateText(c.signState))));
        EXPECT_TRUE(html.contains(QStringLiteral("Статус сертификата: <span class=\"value\">%1</span>")
                                      .arg(certificateStateText(c.certificateState))));
        EXPECT_TRUE(
            html.contains(QStringLiteral("Время проверки ЭЦП: <span class=\"value\">10-12-2026 08:00:01</span>")));
    }
}

TEST(VerificationReport, ACheckWithoutSignsSaysSoAndListsNoBlocks)
{
    const QString html = verificationReport(checkOf(SignState::NotDetermined, CertificateState::NotDetermined));
    EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\n"
                                               "<html lang=\"ru\">")));
    EXPECT_TRUE(
        html.contains(QStringLiteral("charset=utf-8\">\n<title>Проверка электронной подписи документа</title>")));
    EXPECT_EQ(html.count(emptyList), 1);
    EXPECT_FALSE(html.contains(QStringLiteral("<h4>")));
    EXPECT_FALSE(html.contains(certificatePanel));
    expectEveryTagFilled(html);
}

TEST(VerificationReport, EveryBlockIsNamedAndShowsItsStateSignerTimeAndDigest)
{
    const CertificateDescriptionPtr signer = certificateOf(QStringLiteral("CN=АО Регистратор, O=АО Регистратор"));
    QByteArray digest512(64, '\0');
    for (int i = 0; i < digest512.size(); ++i)
        digest512[i] = static_cast<char>(0xc0 + i % 16);
    const SignInfoPtr info = checkOf(SignState::Invalid, CertificateState::Valid,
                                     {signOf(SignState::Valid, signer), signOf(SignState::Invalid, signer, digest512),
                                      signOf(SignState::Valid, signer)},
                                     signer);
    const QString html = verificationReport(info);

    const int first = html.indexOf(QStringLiteral("<h4>Подпись сообщения</h4>"));
    const int second = html.indexOf(QStringLiteral("<h4>Подпись вложения № 1</h4>"));
    const int third = html.indexOf(QStringLiteral("<h4>Подпись вложения № 2</h4>"));
    EXPECT_TRUE(first >= 0 && first < second && second < third) << html.toStdString();
    EXPECT_FALSE(html.contains(emptyList));
    EXPECT_EQ(html.count(QStringLiteral("Статус подписи блока данных: <span class=\"value\">%1</span>")
                             .arg(signStateText(SignState::Valid))),
              2);
    EXPECT_EQ(html.count(QStringLiteral("Статус подписи блока данных: <span class=\"value\">%1</span>")
                             .arg(signStateText(SignState::Invalid))),
              1);
    // The document's signer and each block's.
    EXPECT_EQ(html.count(certificatePanel
                         + QStringLiteral("<span class=\"value\">CN=АО Регистратор, O=АО Регистратор</span>")),
              4);
    EXPECT_EQ(html.count(signerHeading), 3);
    EXPECT_EQ(html.count(QStringLiteral("Время создания подписи: <span class=\"value\">03-12-2026 14:30:00</span>")),
              3);
    EXPECT_EQ(html.count(
                  QStringLiteral("Хэш данных: <span class=\"value\">%1</span>").arg(QStringLiteral("AB").repeated(32))),
              2);
    EXPECT_TRUE(html.contains(QStringLiteral("Хэш данных: <span class=\"value\">%1</span>")
                                  .arg(QString::fromLatin1(digest512.toHex().toUpper()))));
    EXPECT_EQ(QString::fromLatin1(digest512.toHex().toUpper()).size(), 128);
    EXPECT_FALSE(html.contains(exceptionLine));
    expectEveryTagFilled(html);
}

TEST(VerificationReport, TheCertificatePanelShowsTheValidityInLocalFormAndTheDecimalSerial)
{
    const QString html = verificationReport(checkOf(SignState::Valid, CertificateState::Valid, {},
                                                    certificateOf(QStringLiteral("CN=Иванов Иван Иванович"))));
    EXPECT_TRUE(
        html.contains(QStringLiteral("Владелец сертификата: <span class=\"value\">CN=Иванов Иван Иванович</span>")));
    EXPECT_TRUE(html.contains(
        QStringLiteral("Орган выдачи сертификата: <span class=\"value\">CN=Тестовый УЦ, O=ООО Удостоверение</span>")));
    EXPECT_TRUE(
        html.contains(QStringLiteral("Сертификат действителен с <span class=\"value\">01-03-2021 09:05:07</span> "
                                     "по <span class=\"value\">31-12-2031 23:59:00</span>")));
    EXPECT_TRUE(
        html.contains(QStringLiteral("Серийный номер сертификата: <span class=\"value\">1234567890123456789</span>")));
}

TEST(VerificationReport, ABlockWithoutCertificateHasNoPanelAndAFailedOneShowsItsError)
{
    const DataSignInfoPtr failed = signOf(SignState::NotDetermined, {});
    failed->setException(std::make_exception_ptr(std::runtime_error("Подписант не найден <CRYPT_E_SIGNER_NOT_FOUND>")));
    const QString html = verificationReport(
        checkOf(SignState::NotDetermined, CertificateState::NotDetermined, {signOf(SignState::Valid, {}), failed}));
    EXPECT_FALSE(html.contains(signerHeading));
    EXPECT_FALSE(html.contains(certificatePanel));
    EXPECT_EQ(html.count(exceptionLine), 1);
    EXPECT_TRUE(html.contains(
        exceptionLine
        + QStringLiteral("<span class=\"value\">Подписант не найден &lt;CRYPT_E_SIGNER_NOT_FOUND&gt;</span>")));
    EXPECT_GT(html.indexOf(exceptionLine), html.indexOf(QStringLiteral("Подпись вложения № 1")));
    expectEveryTagFilled(html);
}

TEST(VerificationReport, AnErrorThatIsNoStandardExceptionPassesOut)
{
    const DataSignInfoPtr failed = signOf(SignState::NotDetermined, {});
    failed->setException(std::make_exception_ptr(42));
    EXPECT_THROW(verificationReport(checkOf(SignState::NotDetermined, CertificateState::NotDetermined, {failed})), int);
}
