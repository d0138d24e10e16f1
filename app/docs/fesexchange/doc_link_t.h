#pragma once

#include <QDate>
#include <QString>
#include <QUuid>

#include <optional>

namespace tessel::docs::fesexchange {

// The document that a message answers.
struct DocLinkT
{
    QUuid uid;
    QString out_doc_num;
    std::optional<QDate> out_doc_date;
    std::optional<QString> in_doc_num;
    std::optional<QDate> in_reg_date;
};

} // namespace tessel::docs::fesexchange
