#pragma once

#include "tessel/exception.h"

namespace tessel {

// The portal could not be reached or stopped answering: what the user reads, in Russian, with
// the portal's address and the cause (not a status the portal never sent).
class PortalUnavailable : public utils::exception
{
public:
    enum class Cause { Refused, NameNotFound, TimedOut, Untrusted, Unreachable };

    PortalUnavailable(Cause cause, const QString& portal, const QString& detail = QString());

    Cause cause() const { return m_cause; }

    // The reason of an error that ended the attempt to connect, as a cause.
    static Cause causeOf(const std::exception& error);

private:
    Cause m_cause;
};

} // namespace tessel
