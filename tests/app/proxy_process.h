#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The proxy executable run with a home directory of its own.
class ProxyProcess
{
public:
    ProxyProcess();
    ~ProxyProcess();

    const QTemporaryDir& home() const { return m_home; }
    void setEnvironment(const QString& name, const QString& value);

    // Runs to the end and returns the exit code.
    int run(const QStringList& arguments, int timeoutMs = 30000);
    // Starts and waits until the port answers; false when it does not.
    bool start(const QStringList& arguments);
    // Waits for the process to end by itself and returns the exit code (-2 on time-out).
    int waitForExit(int timeoutMs = 30000);

    QString standardOutput() const { return m_out; }
    QString standardError() const { return m_err; }
    QProcess& process() { return m_process; }

    static unsigned short freePort();
    // A config.json in the home directory with the given listen port.
    QString writeConfig(unsigned short port, const QString& extra = QString()) const;

private:
    void collect();

    QTemporaryDir m_home;
    QProcess m_process;
    QString m_out;
    QString m_err;
};
