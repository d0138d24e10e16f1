#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace tessel::docs::fesexchange {

// The transfer agent's registration of a document.
struct TaInfoT
{
    QString doc_num;
    // Null when the envelope gives none.
    QDate doc_date;
    std::optional<QString> doc_type_code;
    std::optional<QString> doc_name;
};

} // namespace tessel::docs::fesexchange
