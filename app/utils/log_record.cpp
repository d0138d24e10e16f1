#include "tessel/log_record.h"

#include "tessel/singleton.h"

#include <QDateTime>
#include <QFile>
#include <QRecursiveMutex>
#include <QTextCodec>

#include <atomic>
#include <cstdio>

namespace tessel {
namespace {

QByteArray& logFileName()
{
    static QByteArray name;
    return name;
}

QIODevice* openLogDevice()
{
    auto* file = new QFile;
    const QByteArray name = logFileName();
    if (name.isEmpty())
        file->open(stderr, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    else {
        file->setFileName(QString::fromUtf8(name));
        file->open(QIODevice::WriteOnly | QIODevice::Append);
    }
    return file;
}

Singleton<QIODevice>& logDevice()
{
    static Singleton<QIODevice> holder(openLogDevice);
    return holder;
}

QRecursiveMutex& logLock()
{
    static QRecursiveMutex mutex;
    return mutex;
}

std::atomic<QTextCodec*> logCodec{nullptr};

const char* levelWord(LogLevel level)
{
    switch (level) {
    case LogLevel::DEBUG:
        return "DEBUG";
    case LogLevel::INFO:
        return "INFO ";
    case LogLevel::WARN:
        return "WARN ";
    case LogLevel::ERROR:
        return "ERROR";
    default:
        return "FATAL";
    }
}

} // namespace

LogRecord::LogRecord(const char* function, const char* file, int line, LogLevel level)
    : m_stream(logDevice().instance())
{
    QTextCodec* codec = logCodec.load();
    m_stream.setCodec(codec ? codec : QTextCodec::codecForLocale());
    logLock().lock();
    m_stream << '[' << function << " (" << file << ':' << line << ")]\n";
    m_stream.flush();
    m_stream << QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) << levelWord(level)
             << ": ";
}

LogRecord::~LogRecord()
{
    m_stream << '\n';
    m_stream.flush();
    logLock().unlock();
}

void setLogFile(const QString& path)
{
    logFileName() = path.toUtf8();
    logDevice().recreate();
}

void setLogCodec(QTextCodec* codec) { logCodec.store(codec); }

} // namespace tessel
