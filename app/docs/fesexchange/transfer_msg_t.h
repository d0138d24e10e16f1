#pragma once

#include "docs/fesexchange/doc_link_t.h"
#include "docs/fesexchange/msg_t.h"

#include <QDate>
#include <QString>

#include <optional>

namespace tessel::docs::fesexchange {

class TransferMsgT : public MsgT
{
public:
    QString doc_num;
    QDate doc_date;
    std::optional<DocLinkT> doc_link;
};

} // namespace tessel::docs::fesexchange
