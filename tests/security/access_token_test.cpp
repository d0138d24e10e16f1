#include "security/access_token.h"

#include "tessel/exception.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <future>
#include <set>
#include <vector>

namespace {

using tessel::security::AccessToken;

const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QFileDevice::Permissions modeOf(const QString& path)
{
    // The owner's flags, which the "user" ones repeat for the running user.
    return QFile(path).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

void write(const QString& path, const QByteArray& content, QFileDevice::Permissions permissions)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    file.setPermissions(permissions);
}

TEST(AccessTokenFile, IsMadeOnceForTheOwnerAloneAndKept)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("access-token"));
    const QString token = AccessToken::loadOrCreate(path);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{64}$")).match(token).hasMatch()) << token.toStdString();
    EXPECT_EQ(modeOf(path), ownerOnly);
    EXPECT_EQ(AccessToken::loadOrCreate(path), token);
    // Only the token file is left: the scratch file it was written to is gone.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("access-token")});

    QTemporaryDir other;
    EXPECT_NE(AccessToken::loadOrCreate(other.filePath(QStringLiteral("access-token"))), token);
}

TEST(AccessTokenFile, ThatOthersCouldReadIsClosedToThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("access-token"));
    const QByteArray token = "aa112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";
    write(path, token + "\n", ownerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    EXPECT_EQ(AccessToken::loadOrCreate(path), QString::fromLatin1(token));
    EXPECT_EQ(modeOf(path), ownerOnly);
}

TEST(AccessTokenFile, ThatHoldsNoTokenIsReplaced)
{
    for (const QByteArray& content : {QByteArray(), QByteArray("short\n"), QByteArray("not hex at all, not hex at all, not hex")}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("access-token"));
        write(path, content, ownerOnly | QFileDevice::ReadOther);
        const QString token = AccessToken::loadOrCreate(path);
        EXPECT_EQ(token.size(), 64) << content.toStdString();
        EXPECT_EQ(modeOf(path), ownerOnly);
        EXPECT_EQ(AccessToken::loadOrCreate(path), token);
    }
}

TEST(AccessTokenFile, MadeByManyAtOnceIsOneToken)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("access-token"));
    std::vector<std::future<QString>> makers;
    for (int i = 0; i < 8; ++i)
        makers.push_back(std::async(std::launch::async, [&path] { return AccessToken::loadOrCreate(path); }));
    std::set<QString> tokens;
    for (std::future<QString>& maker : makers)
        tokens.insert(maker.get());
    EXPECT_EQ(tokens.size(), 1U);
    EXPECT_EQ(AccessToken::loadOrCreate(path), *tokens.begin());
}

TEST(AccessTokenFile, ThatCannotBeMadeIsAnError)
{
    QTemporaryDir dir;
    EXPECT_THROW(AccessToken::loadOrCreate(dir.filePath(QStringLiteral("missing/access-token"))),
                 tessel::utils::exception);
}

} // namespace
