#pragma once

#include "docs/fesexchange/enumerations.h"

#include <QString>

#include <optional>

namespace tessel::docs::fesexchange {

// The "sender" or the "recipient" of a message.
struct PartyT
{
    std::optional<qint64> id;
    PartyTypeEt type_party = PartyTypeEt::REG;
    QString name;
};

} // namespace tessel::docs::fesexchange
