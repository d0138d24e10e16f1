#include "tessel/uuid_text.h"

#include <gtest/gtest.h>

TEST(UuidText, BracesAreOptionalAndAnythingElseIsNull)
{
    const QUuid id = QUuid::createUuid();
    const QString text = tessel::uuidToText(id);
    EXPECT_EQ(text.size(), 36);
    EXPECT_EQ(text, text.toLower());
    EXPECT_FALSE(text.contains(QLatin1Char('{')));

    EXPECT_EQ(tessel::uuidFromText(text), id);
    EXPECT_EQ(tessel::uuidFromText(QLatin1Char('{') + text + QLatin1Char('}')), id);
    EXPECT_EQ(tessel::uuidFromText(text.toUpper()), id);
    for (const char* bad : {"", "storage", "0123abcd000000000000000000000000", "{0123abcd-0000-0000-0000-00000000000}"})
        EXPECT_TRUE(tessel::uuidFromText(QString::fromLatin1(bad)).isNull()) << bad;
}
