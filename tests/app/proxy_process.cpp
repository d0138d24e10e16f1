#include "proxy_process.h"

#include <Poco/Net/ServerSocket.h>
#include <Poco/Net/StreamSocket.h>

#include <QFile>
#include <QThread>

ProxyProcess::ProxyProcess()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_home.path());
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(m_home.path());
    m_process.setProgram(QStringLiteral(PROXY_EXECUTABLE));
}

ProxyProcess::~ProxyProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void ProxyProcess::setEnvironment(const QString& name, const QString& value)
{
    QProcessEnvironment environment = m_process.processEnvironment();
    environment.insert(name, value);
    m_process.setProcessEnvironment(environment);
}

void ProxyProcess::collect()
{
    m_out += QString::fromLocal8Bit(m_process.readAllStandardOutput());
    m_err += QString::fromLocal8Bit(m_process.readAllStandardError());
}

int ProxyProcess::run(const QStringList& arguments, int timeoutMs)
{
    m_process.setArguments(arguments);
    m_process.start();
    m_process.waitForFinished(timeoutMs);
    collect();
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -2;
}

bool ProxyProcess::start(const QStringList& arguments)
{
    m_process.setArguments(arguments);
    m_process.start();
    if (!m_process.waitForStarted(10000))
        return false;
    for (int i = 0; i < 200 && m_process.state() == QProcess::Running; ++i) {
        collect();
        if (m_err.contains(QStringLiteral("Server started!")))
            return true;
        m_process.waitForReadyRead(50);
    }
    collect();
    return false;
}

int ProxyProcess::waitForExit(int timeoutMs)
{
    const bool ended = m_process.waitForFinished(timeoutMs);
    collect();
    if (!ended)
        return -2;
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -2;
}

unsigned short ProxyProcess::freePort()
{
    Poco::Net::ServerSocket socket(Poco::Net::SocketAddress("127.0.0.1", 0));
    return socket.address().port();
}

QString ProxyProcess::writeConfig(unsigned short port, const QString& extra) const
{
    const QString path = m_home.filePath(QStringLiteral("config.json"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral(R"({"listenInterface": "127.0.0.1", "listenPort": %1%2})").arg(port).arg(extra).toUtf8());
    return path;
}
