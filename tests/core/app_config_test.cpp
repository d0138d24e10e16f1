#include "core/app_config_impl.h"
#include "support/exception_message.h"
#include "support/file_size_limit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

using tessel::AppConfigImpl;

namespace {

QString writeFile(const QTemporaryDir& dir, const QByteArray& content)
{
    const QString path = dir.filePath(QStringLiteral("config.json"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
}

} // namespace

TEST(AppConfig, DefaultsWhenThereIsNoFile)
{
    QTemporaryDir dir;
    AppConfigImpl config;
    config.load(dir.filePath(QStringLiteral("missing.json")));
    EXPECT_EQ(config.listenInterface(), "localhost");
    EXPECT_EQ(config.listenPort(), 8000);
    EXPECT_EQ(config.appUrl().toString(), "https://localhost:8443");
    EXPECT_EQ(config.appHost(), "localhost");
    EXPECT_EQ(config.appPort(), 8443);
    EXPECT_TRUE(config.isHttps());
    EXPECT_EQ(config.appPath(), "");
    EXPECT_EQ(config.keyName(), "");
    EXPECT_FALSE(config.isSaved());
    // The name given is kept, so that a later save creates it.
    EXPECT_EQ(config.fileName(), dir.filePath(QStringLiteral("missing.json")));
    EXPECT_EQ(config.networkTimeout().count(), 60);
    EXPECT_EQ(config.listenUrl().toString(), "http://localhost:8000");
}

TEST(AppConfig, EmptyObjectOrArrayFileKeepsBuiltInValues)
{
    for (const char* content : {"{}", "[1, 2]"}) {
        QTemporaryDir dir;
        AppConfigImpl config;
        config.load(writeFile(dir, content));
        EXPECT_EQ(config.listenInterface(), "127.0.0.1") << content;
        EXPECT_EQ(config.listenPort(), 8000);
        EXPECT_EQ(config.appUrl().toString(), "https://localhost:8443");
        EXPECT_EQ(config.appPath(), "");
        EXPECT_TRUE(config.isSaved());
    }
}

TEST(AppConfig, UnparsableFileFallsBackToDefaultsAndIsLeftAlone)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, "{not json");
    AppConfigImpl config;
    config.load(path);
    EXPECT_EQ(config.listenInterface(), "localhost");
    EXPECT_FALSE(config.isSaved());
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    EXPECT_EQ(file.readAll(), "{not json");
}

struct AppUrlCase
{
    const char* given;
    const char* url;
    const char* host;
    const char* path;
    quint16 port;
    bool https;
};

TEST(AppConfig, AppUrlIsNormalised)
{
    const AppUrlCase cases[] = {
        {"http://localhost:8080/velmar-portal/", "http://localhost:8080", "localhost", "", 8080, false},
        {"http://localhost:8080/velmar-portal", "http://localhost:8080", "localhost", "", 8080, false},
        {"http://portal.example/", "http://portal.example", "portal.example", "", 80, false},
        {"https://portal.example", "https://portal.example", "portal.example", "", 443, true},
        {"  https://portal.example:9443/x/  ", "https://portal.example:9443/x", "portal.example", "/x", 9443, true},
        {"https://portal.example/a//", "https://portal.example/a", "portal.example", "/a", 443, true},
        {"https://portal.example/Velmar-Portal", "https://portal.example/Velmar-Portal", "portal.example",
         "/Velmar-Portal", 443, true},
        {"https://portal.example/%D0%BF", "https://portal.example/%D0%BF", "portal.example", "/п", 443, true},
    };
    for (const AppUrlCase& c : cases) {
        AppConfigImpl config;
        config.updateConfig(QJsonObject{{"appUrl", QString::fromUtf8(c.given)}});
        EXPECT_EQ(config.appUrl().toString(QUrl::FullyEncoded).toStdString(), c.url) << c.given;
        EXPECT_EQ(config.appHost().toStdString(), c.host) << c.given;
        EXPECT_EQ(config.appPath(), QString::fromUtf8(c.path)) << c.given;
        EXPECT_EQ(config.appPort(), c.port) << c.given;
        EXPECT_EQ(config.isHttps(), c.https) << c.given;
    }
}

TEST(AppConfig, PostedSettingsReplaceKeysAndClearMissingOptionalOnes)
{
    AppConfigImpl config;
    config.updateConfig(
        QJsonObject{{"listenPort", 9001}, {"crypto", QJsonObject{{"keyName", "key1"}}}, {"storageDir", "/srv/store"}});
    EXPECT_EQ(config.keyName(), "key1");
    EXPECT_EQ(config.storageDir(), "/srv/store");

    // Wrong types count as absent: the port stays, the interface stays.
    config.updateConfig(QJsonObject{{"listenPort", "9002"}, {"listenInterface", 5}});
    EXPECT_EQ(config.listenPort(), 9001);
    EXPECT_EQ(config.listenInterface(), "127.0.0.1");
    EXPECT_EQ(config.keyName(), "");
    EXPECT_FALSE(config.toJson().contains("storageDir"));
    EXPECT_EQ(config.toJson().value("crypto").toObject().value("keyName").toString(), "");
    EXPECT_FALSE(config.isSaved());
}

TEST(AppConfig, NetworkTimeoutTakesWholeSecondsFromFiveToAnHourAndIsWrittenOnlyWhenSet)
{
    const struct
    {
        QJsonValue value;
        int seconds;
    } cases[] = {
        {5, 5}, {3600, 3600}, {120, 120}, {60, 60}, {4, 90}, {3601, 90}, {-1, 90}, {1.5, 90}, {"120", 90}, {QJsonValue(), 90},
    };
    for (const auto& c : cases) {
        AppConfigImpl config;
        config.updateConfig(QJsonObject{{"networkTimeoutSeconds", 90}});
        QJsonObject settings;
        if (!c.value.isNull())
            settings.insert("networkTimeoutSeconds", c.value);
        config.updateConfig(settings);
        EXPECT_EQ(config.networkTimeout().count(), c.seconds) << QJsonDocument(settings).toJson().toStdString();
        EXPECT_EQ(config.toJson().contains("networkTimeoutSeconds"), c.seconds != 60);
    }
}

TEST(AppConfig, SaveWritesSortedIndentedJsonAndMarksSaved)
{
    QTemporaryDir dir;
    AppConfigImpl config;
    config.load(dir.filePath(QStringLiteral("config.json")));
    config.updateConfig(QJsonObject{{"appUrl", "https://p.example/velmar-portal"}, {"storageDir", "/s"}});
    config.save();
    EXPECT_TRUE(config.isSaved());

    QFile file(config.fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_EQ(text,
              "{\n"
              "    \"appUrl\": \"https://p.example\",\n"
              "    \"crypto\": {\n"
              "        \"keyName\": \"\"\n"
              "    },\n"
              "    \"listenInterface\": \"localhost\",\n"
              "    \"listenPort\": 8000,\n"
              "    \"storageDir\": \"/s\"\n"
              "}\n");

    AppConfigImpl reloaded;
    reloaded.load(config.fileName());
    EXPECT_TRUE(reloaded.isSaved());
    EXPECT_EQ(reloaded.toJson(), config.toJson());
}

TEST(AppConfig, SaveToUnwritablePlaceThrowsTheFileError)
{
    AppConfigImpl config;
    config.load(QStringLiteral("/proc/no-such-dir/config.json"));
    EXPECT_THROW(config.save(), std::exception);
    EXPECT_FALSE(config.isSaved());
}

// A full disk stands in for any failed write: the file stays as it was and nothing counts as saved.
TEST(AppConfig, ASaveThatCannotBeWrittenKeepsTheOldFile)
{
    const QByteArray old = R"({"listenInterface": "127.0.0.1", "listenPort": 8100})";
    for (const bool existing : {true, false}) {
        QTemporaryDir dir;
        const QString path = existing ? writeFile(dir, old) : dir.filePath(QStringLiteral("config.json"));
        AppConfigImpl config;
        config.load(path);
        const bool savedBefore = config.isSaved();
        config.updateConfig(QJsonObject{{"listenPort", 8200}, {"storageDir", QString(8192, QLatin1Char('s'))}});
        const std::string message = [&] {
            const FileSizeLimit limit(4096);
            return messageOf([&] { config.save(); });
        }();
        EXPECT_EQ(message, "File too large") << existing;
        EXPECT_EQ(config.isSaved(), savedBefore) << existing;
        QFile file(path);
        if (existing) {
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), old);
        } else {
            EXPECT_FALSE(file.exists());
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), existing ? QStringList{"config.json"} : QStringList());
    }
}

TEST(AppConfig, DirectoriesLiveBesideTheConfigurationFile)
{
    QTemporaryDir dir;
    AppConfigImpl config;
    config.load(dir.filePath(QStringLiteral("config.json")));
    EXPECT_EQ(config.storageDir(), dir.filePath(QStringLiteral("storage")));
    const QString log = config.logFileName();
    EXPECT_TRUE(log.startsWith(dir.filePath(QStringLiteral("logs/proxy-"))));
    EXPECT_TRUE(log.endsWith(QStringLiteral(".log")));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("logs"))).isDir());

    // A file where the directory should go makes the directory impossible.
    QTemporaryDir blocked;
    QFile(blocked.filePath(QStringLiteral("storage"))).open(QIODevice::WriteOnly);
    AppConfigImpl failing;
    failing.load(blocked.filePath(QStringLiteral("config.json")));
    EXPECT_THROW(failing.storageDir(), std::exception);
}
