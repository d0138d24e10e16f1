#include "proxy_process.h"

#include "access_tokens.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

namespace {

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

// The configuration file that the arguments name, or the default one under home.
QString configFileOf(const QStringList& arguments, const QString& home)
{
    for (int i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("-c") || arguments[i] == QLatin1String("--config"))
            return arguments[i + 1];
    }
    return QDir(home).filePath(QStringLiteral(".config/velmar-portal-proxy/config.json"));
}

unsigned short listenPortOf(const QString& configFile)
{
    QFile file(configFile);
    file.open(QIODevice::ReadOnly);
    return static_cast<unsigned short>(QJsonDocument::fromJson(file.readAll()).object().value("listenPort").toInt(8000));
}

} // namespace

ProxyProcess::ProxyProcess() : m_home(m_ownHome.path()) { setUp(); }

ProxyProcess::ProxyProcess(const QString& home) : m_home(home)
{
    QDir().mkpath(home);
    setUp();
}

void ProxyProcess::setUp()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_home);
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(m_home);
    m_process.setProgram(QStringLiteral(VPP_PROXY));
    m_process.setStandardOutputFile(m_output.filePath(QStringLiteral("stdout")));
    m_process.setStandardErrorFile(m_output.filePath(QStringLiteral("stderr")));
}

ProxyProcess::~ProxyProcess()
{
    if (m_port)
        testsupport::forgetAccessToken(m_port);
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

QString ProxyProcess::standardOutput() const { return fileText(m_output.filePath(QStringLiteral("stdout"))); }

QString ProxyProcess::standardError() const { return fileText(m_output.filePath(QStringLiteral("stderr"))); }

int ProxyProcess::run(const QStringList& arguments, int timeoutMs)
{
    m_process.setArguments(arguments);
    m_process.start();
    m_process.waitForFinished(timeoutMs);
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -2;
}

bool ProxyProcess::start(const QStringList& arguments, int timeoutMs)
{
    m_process.setArguments(arguments);
    m_process.start();
    if (!m_process.waitForStarted(10000))
        return false;
    for (int waited = 0; waited < timeoutMs && m_process.state() == QProcess::Running; waited += 20) {
        if (standardError().contains(QStringLiteral("Server started!"))) {
            const QString configFile = configFileOf(arguments, m_home);
            m_port = listenPortOf(configFile);
            testsupport::rememberAccessToken(m_port, accessToken());
            return true;
        }
        QThread::msleep(20);
    }
    return false;
}

int ProxyProcess::waitForExit(int timeoutMs)
{
    if (!m_process.waitForFinished(timeoutMs) && m_process.state() != QProcess::NotRunning)
        return -2;
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -2;
}

std::string ProxyProcess::accessToken() const
{
    return testsupport::readAccessToken(configFileOf(m_process.arguments(), m_home).toStdString());
}

QString ProxyProcess::writeConfig(unsigned short port, const QString& extra) const
{
    const QString path = QDir(m_home).filePath(QStringLiteral("config.json"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral(R"({"listenInterface": "127.0.0.1", "listenPort": %1%2})").arg(port).arg(extra).toUtf8());
    return path;
}
