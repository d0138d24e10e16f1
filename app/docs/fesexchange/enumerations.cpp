#include "docs/fesexchange/enumerations.h"

#include "tessel/exception.h"

#include <array>
#include <utility>

namespace tessel::docs::fesexchange {
namespace {

template <class Enum, std::size_t Count>
using NameTable = std::array<std::pair<const char*, Enum>, Count>;

constexpr NameTable<MsgSchemaEt, 6> msgSchemaNames{{
    {"RAW", MsgSchemaEt::RAW},
    {"FES_1_0", MsgSchemaEt::FES_1_0},
    {"FRD_11_01", MsgSchemaEt::FRD_11_01},
    {"VELMAR_PORTAL_1_0", MsgSchemaEt::VELMAR_PORTAL_1_0},
    {"FCDR_12_02", MsgSchemaEt::FCDR_12_02},
    {"FCDR_13_01", MsgSchemaEt::FCDR_13_01},
}};

constexpr NameTable<PartyTypeEt, 2> partyTypeNames{{
    {"REG", PartyTypeEt::REG},
    {"ABON", PartyTypeEt::ABON},
}};

constexpr NameTable<DocStateEt, 8> docStateNames{{
    {"RECEIVED", DocStateEt::RECEIVED},
    {"REGISTERED", DocStateEt::REGISTERED},
    {"REGISTRATION_REJECTED", DocStateEt::REGISTRATION_REJECTED},
    {"PROCESSED", DocStateEt::PROCESSED},
    {"REFUSED", DocStateEt::REFUSED},
    {"RECALLED", DocStateEt::RECALLED},
    {"RECEIVE_ERROR", DocStateEt::RECEIVE_ERROR},
    {"ISSUANCE", DocStateEt::ISSUANCE},
}};

template <class Enum, std::size_t Count>
Enum lookUp(const NameTable<Enum, Count>& table, const char* typeName, const QString& name)
{
    for (const auto& [entryName, value] : table) {
        if (name == QLatin1String(entryName))
            return value;
    }
    throw utils::exception(QStringLiteral("Unknown %1: %2").arg(QLatin1String(typeName), name));
}

} // namespace

MsgSchemaEt parseMsgSchemaEt(const QString& name) { return lookUp(msgSchemaNames, "MsgSchemaEt", name); }

PartyTypeEt parsePartyTypeEt(const QString& name) { return lookUp(partyTypeNames, "PartyTypeEt", name); }

DocStateEt parseDocStateEt(const QString& name) { return lookUp(docStateNames, "DocStateEt", name); }

} // namespace tessel::docs::fesexchange
