#include "rest/endpoints/sign_verification_data.h"

#include <QJsonValue>

namespace tessel::rest {

SignVerificationData::SignVerificationData(QJsonObject data) : m_data(std::move(data)) {}

QString SignVerificationData::text(const char* key) const { return m_data.value(QLatin1String(key)).toString(); }

QDate SignVerificationData::date(const char* key) const { return QDate::fromString(text(key), Qt::ISODate); }

docs::DocumentCopyData SignVerificationData::documentCopyData() const
{
    docs::DocumentCopyData copy;
    copy.msgType = text("msgType");
    copy.sender = text("sender");
    copy.recipient = text("recipient");
    copy.outDocNum = text("outDocNum");
    copy.outDocDate = date("outDocDate");
    if (m_data.contains(QLatin1String("reqDocDate"))) {
        copy.reqDocNum = text("reqDocNum");
        copy.reqDocDate = date("reqDocDate");
    }
    copy.taName = text("taName");
    return copy;
}

bool SignVerificationData::asksForSignCheck() const
{
    const int state = m_data.value(QLatin1String("signStateId")).toInt();
    return state == 1 || state == 2;
}

QDateTime SignVerificationData::signCheckTime() const
{
    // A time that names its offset (the proxy reports its checks in UTC) is that instant; taking
    // its clock reading as local time would move the check by the offset. One without is local.
    return QDateTime::fromString(text("signCheckTime"), Qt::ISODateWithMs).toLocalTime();
}

} // namespace tessel::rest
