#pragma once

#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <string>

// The proxy executable run with a home directory of its own (or the one given); its standard
// output and error go to files elsewhere, so that a long run never blocks on a full pipe.
class ProxyProcess
{
public:
    ProxyProcess();
    explicit ProxyProcess(const QString& home);
    ~ProxyProcess();

    QDir home() const { return QDir(m_home); }
    void setEnvironment(const QString& name, const QString& value);

    // Runs to the end and returns the exit code.
    int run(const QStringList& arguments, int timeoutMs = 30000);
    // Starts and waits until the proxy says it listens; false when it does not.
    bool start(const QStringList& arguments, int timeoutMs = 30000);
    // Waits for the process to end by itself and returns the exit code (-2 on time-out or a crash).
    int waitForExit(int timeoutMs = 30000);

    // What the process wrote so far.
    QString standardOutput() const;
    QString standardError() const;
    QProcess& process() { return m_process; }
    qint64 processId() const { return m_process.processId(); }

    // The token the proxy keeps beside its configuration file; the HTTP helpers send it.
    std::string accessToken() const;

    // A config.json in the home directory with the given listen port.
    QString writeConfig(unsigned short port, const QString& extra = QString()) const;

private:
    void setUp();

    QTemporaryDir m_ownHome;
    QString m_home;
    QTemporaryDir m_output;
    QProcess m_process;
    unsigned short m_port = 0;
};
