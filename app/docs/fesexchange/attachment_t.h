#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tessel::docs::fesexchange {

// One "attachment": part number index of the document.
struct AttachmentT
{
    quint32 index = 0;
    QString description;
    std::optional<QString> file_name;
    // A MIME type name; "application/x-velmar-scan" for scanned pages.
    QString type;
    // Present exactly on attachments that carry a detached signature.
    std::optional<QByteArray> hash;
    quint64 data_length = 0;
};

} // namespace tessel::docs::fesexchange
