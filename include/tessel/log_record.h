#pragma once

#include <QTextStream>

#include <memory>

class QTextCodec;

namespace tessel {

enum class LogLevel { DEBUG = 0, INFO = 1, WARN = 2, ERROR = 3, FATAL = 4 };

// One log record: both lines are written under the log lock, which is held
// until the record is destroyed, so records from several threads never mix.
class LogRecord
{
public:
    LogRecord(const char* function, const char* file, int line, LogLevel level);
    ~LogRecord();

    LogRecord(const LogRecord&) = delete;
    LogRecord& operator=(const LogRecord&) = delete;

    template <class T>
    LogRecord& operator<<(const T& value)
    {
        m_stream << value;
        return *this;
    }

private:
    QTextStream m_stream;
};

void setLogFile(const QString& path);
void setLogCodec(QTextCodec* codec);

} // namespace tessel

#define TESSEL_LOG(level) ::tessel::LogRecord(Q_FUNC_INFO, __FILE__, __LINE__, ::tessel::LogLevel::level)
#define LOG_DEBUG TESSEL_LOG(DEBUG)
#define LOG_INFO TESSEL_LOG(INFO)
#define LOG_WARN TESSEL_LOG(WARN)
#define LOG_ERROR TESSEL_LOG(ERROR)
#define LOG_FATAL TESSEL_LOG(FATAL)
