#pragma once

#include <QString>

namespace tessel::docs::fesexchange {

// An entry of a portal directory ("msg_subtype", "emitent").
struct ExternalRefT
{
    quint32 id = 0;
    QString name;
};

} // namespace tessel::docs::fesexchange
