#pragma once

#include "docs/fesexchange/attachment_t.h"
#include "docs/fesexchange/party_t.h"

#include <QString>
#include <QUuid>
#include <QVector>

namespace tessel::docs::fesexchange {

// The base message: the envelope's root element.
class MsgT
{
public:
    virtual ~MsgT() = default;

    QString version = QStringLiteral("fes-exchange-1.0");
    QUuid uid;
    PartyT sender;
    PartyT recipient;
    QVector<AttachmentT> attachments;
    bool signed_ = false; // the element "signed"; the name is a C++ keyword
};

} // namespace tessel::docs::fesexchange
