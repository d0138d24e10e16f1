#pragma once

#include <QString>

namespace tessel::docs::fesexchange {

enum class MsgSchemaEt { RAW = 0, FES_1_0 = 1, FRD_11_01 = 2, VELMAR_PORTAL_1_0 = 3, FCDR_12_02 = 4, FCDR_13_01 = 5 };

enum class PartyTypeEt { REG = 0, ABON = 1 };

// Document states of the exchange format; no envelope element carries them.
enum class DocStateEt {
    RECEIVED = 0,
    REGISTERED = 1,
    REGISTRATION_REJECTED = 2,
    PROCESSED = 3,
    REFUSED = 4,
    RECALLED = 5,
    RECEIVE_ERROR = 6,
    ISSUANCE = 7
};

// Names are compared exactly, case included; an unknown one throws "Unknown <type>: <name>".
MsgSchemaEt parseMsgSchemaEt(const QString& name);
PartyTypeEt parsePartyTypeEt(const QString& name);
DocStateEt parseDocStateEt(const QString& name);

} // namespace tessel::docs::fesexchange
