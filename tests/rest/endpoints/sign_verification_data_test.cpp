#include "rest/endpoints/sign_verification_data.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

#include <cstdlib>
#include <ctime>

using tessel::rest::SignVerificationData;

namespace {

SignVerificationData dataOf(const char* json) { return SignVerificationData(QJsonDocument::fromJson(json).object()); }

// Local time three hours east of UTC for one test, whatever zone the machine is in.
class MoscowTime
{
public:
    MoscowTime() : m_previous(qgetenv("TZ")), m_had(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", "MSK-3");
        tzset();
    }
    ~MoscowTime()
    {
        if (m_had)
            qputenv("TZ", m_previous);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray m_previous;
    bool m_had;
};

} // namespace

TEST(SignVerificationData, FillsTheCopyFromThePortalsKeys)
{
    const tessel::docs::DocumentCopyData copy =
        dataOf(R"({"msgType": "Ответ на запрос", "sender": "АО Регистратор", "recipient": "ООО Ромашка",
                   "outDocNum": "Р-1", "outDocDate": "2026-12-03", "reqDocNum": "И-7", "reqDocDate": "2026-11-28",
                   "taName": "АО Регистратор", "signStateId": 1})")
            .documentCopyData();
    EXPECT_EQ(copy.msgType, QStringLiteral("Ответ на запрос"));
    EXPECT_EQ(copy.sender, QStringLiteral("АО Регистратор"));
    EXPECT_EQ(copy.recipient, QStringLiteral("ООО Ромашка"));
    EXPECT_EQ(copy.outDocNum, QStringLiteral("Р-1"));
    EXPECT_EQ(copy.outDocDate, QDate(2026, 12, 3));
    EXPECT_EQ(copy.reqDocNum, QStringLiteral("И-7"));
    EXPECT_EQ(copy.reqDocDate, QDate(2026, 11, 28));
    EXPECT_EQ(copy.taName, QStringLiteral("АО Регистратор"));
    EXPECT_TRUE(copy.signInfo.isNull());
}

TEST(SignVerificationData, MissingKeysReadAsEmptyAndTheRequestNumberNeedsItsDate)
{
    const tessel::docs::DocumentCopyData copy =
        dataOf(R"({"reqDocNum": "И-7", "outDocDate": "3.12.2026"})").documentCopyData();
    EXPECT_TRUE(copy.msgType.isEmpty());
    EXPECT_TRUE(copy.taName.isEmpty());
    EXPECT_FALSE(copy.outDocDate.isValid());
    EXPECT_TRUE(copy.reqDocNum.isEmpty());
    EXPECT_FALSE(copy.reqDocDate.isValid());
}

TEST(SignVerificationData, OnlyTheStatesOfAMadeCheckAskForOne)
{
    const std::pair<const char*, bool> cases[] = {
        {R"({"signStateId": 0})", false}, {R"({"signStateId": 1})", true},    {R"({"signStateId": 2})", true},
        {R"({"signStateId": 3})", false}, {R"({"signStateId": "1"})", false}, {R"({})", false},
    };
    for (const auto& [json, asks] : cases)
        EXPECT_EQ(dataOf(json).asksForSignCheck(), asks) << json;
}

TEST(SignVerificationData, TheCheckTimeKeepsItsInstantInLocalTime)
{
    const MoscowTime zone;
    // The proxy reports its checks in UTC: 14:00 UTC is 17:00 in Moscow.
    const QDateTime reported = dataOf(R"({"signCheckTime": "2026-12-10T14:00:00.250Z"})").signCheckTime();
    EXPECT_EQ(reported.timeSpec(), Qt::LocalTime);
    EXPECT_EQ(reported.time(), QTime(17, 0, 0, 250));
    EXPECT_EQ(reported.toUTC(), QDateTime(QDate(2026, 12, 10), QTime(14, 0, 0, 250), Qt::UTC));

    const QDateTime local = dataOf(R"({"signCheckTime": "2026-12-10T09:30:00"})").signCheckTime();
    EXPECT_EQ(local.timeSpec(), Qt::LocalTime);
    EXPECT_EQ(local.time(), QTime(9, 30));

    EXPECT_FALSE(dataOf(R"({})").signCheckTime().isValid());
}
