#include "rest/endpoints/attachment_json.h"

#include <gtest/gtest.h>

using tessel::docs::fesexchange::AttachmentT;

namespace {

AttachmentT attachment(const QString& type, const std::optional<QString>& fileName)
{
    AttachmentT record;
    record.index = 3;
    record.description = QStringLiteral("Выписка");
    record.type = type;
    record.file_name = fileName;
    return record;
}

} // namespace

TEST(AttachmentJson, DescriptionTypeAndScanFlag)
{
    const struct
    {
        AttachmentT record;
        QString description;
        bool scan;
    } cases[] = {
        {attachment("application/pdf", QStringLiteral("a.pdf")), QStringLiteral("a.pdf - Выписка"), false},
        {attachment("application/pdf", std::nullopt), QStringLiteral("Выписка"), false},
        // A scan shows its description alone, even with a file name.
        {attachment("application/x-velmar-scan", QStringLiteral("pages.zip")), QStringLiteral("Выписка"), true},
    };
    for (const auto& c : cases) {
        const QJsonObject json = tessel::rest::attachmentJson(c.record);
        EXPECT_EQ(json.value("index").toInt(), 3);
        EXPECT_EQ(json.value("description").toString(), c.description);
        EXPECT_EQ(json.value("scan").toBool(), c.scan);
    }
    EXPECT_EQ(
        tessel::rest::attachmentJson(attachment("application/x-velmar-scan", std::nullopt)).value("type").toString(),
        QStringLiteral("Scanned image"));
    EXPECT_EQ(tessel::rest::attachmentJson(attachment("application/pdf", std::nullopt)).value("type").toString(),
              QStringLiteral("PDF document"));
}

TEST(AttachmentJson, DownloadNameFromFileNameOrType)
{
    EXPECT_EQ(tessel::rest::attachmentDownloadName(attachment("application/pdf", QStringLiteral("Отчёт.pdf"))),
              QStringLiteral("Отчёт.pdf"));
    EXPECT_EQ(tessel::rest::attachmentDownloadName(attachment("application/pdf", std::nullopt)),
              QStringLiteral("attachment.pdf"));
    EXPECT_EQ(tessel::rest::attachmentDownloadName(attachment("application/x-no-such-type", std::nullopt)),
              QStringLiteral("attachment.unknown"));
}
