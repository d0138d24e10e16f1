#include "tessel/log_record.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <thread>
#include <vector>

namespace {

QStringList readLines(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

void logOneRecord() { LOG_INFO << "message " << 42; }

} // namespace

// One test: the log file is process-wide state.
TEST(LogRecord, RecordsAreTwoLinesAppendedWholeFromAnyThread)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("proxy.log"));
    {
        QFile earlier(path);
        earlier.open(QIODevice::WriteOnly);
        earlier.write("earlier content\n");
    }
    tessel::setLogFile(path);

    logOneRecord();
    LOG_DEBUG << "";
    tessel::LogRecord(Q_FUNC_INFO, __FILE__, __LINE__, static_cast<tessel::LogLevel>(7)) << "beyond";

    constexpr int perThread = 300;
    auto writer = [](const char* word) {
        for (int i = 0; i < perThread; ++i)
            LOG_WARN << word << i;
    };
    std::thread first(writer, "first");
    std::thread second(writer, "second");
    first.join();
    second.join();
    tessel::setLogFile(QString());

    const QStringList lines = readLines(path);
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines[0], "earlier content");

    const QRegularExpression head(
        QStringLiteral(R"(^\[void \{anonymous\}::logOneRecord\(\) \(.*log_record_test\.cpp:\d+\)\]$)"));
    EXPECT_TRUE(head.match(lines[1]).hasMatch()) << lines[1].toStdString();
    const QRegularExpression info(QStringLiteral(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d INFO : message 42$)"));
    EXPECT_TRUE(info.match(lines[2]).hasMatch()) << lines[2].toStdString();
    EXPECT_TRUE(lines[4].endsWith(QStringLiteral(" DEBUG: "))) << lines[4].toStdString();
    EXPECT_TRUE(lines[6].endsWith(QStringLiteral(" FATAL: beyond"))) << lines[6].toStdString();

    // Every record of the threads is a signature line followed by its own message line.
    const QRegularExpression message(QStringLiteral(R"( WARN : (first|second)\d+$)"));
    int records = 0;
    for (int i = 7; i + 1 < lines.size(); i += 2) {
        EXPECT_TRUE(lines[i].startsWith(QLatin1Char('['))) << i << lines[i].toStdString();
        EXPECT_TRUE(message.match(lines[i + 1]).hasMatch()) << i << lines[i + 1].toStdString();
        ++records;
    }
    EXPECT_EQ(records, 2 * perThread);
}
