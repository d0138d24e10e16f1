#include "rest/endpoints/attachment_json.h"

#include <QCoreApplication>
#include <QMimeDatabase>

namespace tessel::rest {
namespace {

const QString scanType = QStringLiteral("application/x-velmar-scan");

} // namespace

QJsonObject attachmentJson(const docs::fesexchange::AttachmentT& attachment)
{
    const bool scan = attachment.type == scanType;
    const QString description = attachment.file_name && !scan
        ? *attachment.file_name + QStringLiteral(" - ") + attachment.description
        : attachment.description;
    const QString type = scan ? QCoreApplication::translate("attachments", "Scanned image")
                              : QMimeDatabase().mimeTypeForName(attachment.type).comment();
    return QJsonObject{
        {QStringLiteral("index"), static_cast<qint64>(attachment.index)},
        {QStringLiteral("description"), description},
        {QStringLiteral("type"), type},
        {QStringLiteral("scan"), scan},
    };
}

QString attachmentDownloadName(const docs::fesexchange::AttachmentT& attachment)
{
    if (attachment.file_name)
        return *attachment.file_name;
    const QString suffix = QMimeDatabase().mimeTypeForName(attachment.type).preferredSuffix();
    return QStringLiteral("attachment.") + (suffix.isEmpty() ? QStringLiteral("unknown") : suffix);
}

} // namespace tessel::rest
