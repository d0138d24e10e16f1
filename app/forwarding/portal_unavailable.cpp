#include "forwarding/portal_unavailable.h"

#include "crypto/errors/exception.h"

#include <Poco/Net/NetException.h>

namespace tessel {
namespace {

QString causeText(PortalUnavailable::Cause cause)
{
    switch (cause) {
    case PortalUnavailable::Cause::Refused: return QStringLiteral("соединение отклонено");
    case PortalUnavailable::Cause::NameNotFound: return QStringLiteral("имя сервера не найдено");
    case PortalUnavailable::Cause::TimedOut: return QStringLiteral("сервер не отвечает");
    case PortalUnavailable::Cause::Untrusted: return QStringLiteral("сертификат сервера не является доверенным");
    case PortalUnavailable::Cause::Unreachable: return QStringLiteral("соединение не установлено");
    }
    return QString();
}

QString messageOf(PortalUnavailable::Cause cause, const QString& portal, const QString& detail)
{
    const QString head = cause == PortalUnavailable::Cause::TimedOut
                             ? QStringLiteral("Портал не отвечает: %1").arg(portal)
                             : QStringLiteral("Портал %1 недоступен: %2").arg(portal, causeText(cause));
    return detail.isEmpty() ? head : head + QStringLiteral(" (") + detail + QLatin1Char(')');
}

} // namespace

PortalUnavailable::PortalUnavailable(Cause cause, const QString& portal, const QString& detail)
    : utils::exception(messageOf(cause, portal, detail)), m_cause(cause)
{}

PortalUnavailable::Cause PortalUnavailable::causeOf(const std::exception& error)
{
    if (dynamic_cast<const Poco::Net::ConnectionRefusedException*>(&error))
        return Cause::Refused;
    if (dynamic_cast<const Poco::Net::HostNotFoundException*>(&error)
        || dynamic_cast<const Poco::Net::NoAddressFoundException*>(&error) || dynamic_cast<const Poco::Net::DNSException*>(&error))
        return Cause::NameNotFound;
    if (dynamic_cast<const Poco::TimeoutException*>(&error))
        return Cause::TimedOut;
    if (dynamic_cast<const nxcrypto::Exception*>(&error))
        return Cause::Untrusted;
    return Cause::Unreachable;
}

} // namespace tessel
