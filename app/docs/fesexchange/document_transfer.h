#pragma once

#include "docs/fesexchange/enumerations.h"
#include "docs/fesexchange/external_ref_t.h"
#include "docs/fesexchange/ta_info_t.h"
#include "docs/fesexchange/transfer_msg_t.h"

#include <QString>

#include <optional>

namespace tessel::docs::fesexchange {

// What an envelope file is read into.
class DocumentTransfer : public TransferMsgT
{
public:
    std::optional<TaInfoT> ta_info;
    MsgSchemaEt msg_schema_type = MsgSchemaEt::RAW;
    std::optional<QString> msg_tag;
    std::optional<ExternalRefT> msg_subtype;
    std::optional<ExternalRefT> emitent;
};

} // namespace tessel::docs::fesexchange
