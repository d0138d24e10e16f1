#include "workstation.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace {

QString runTool(const QString& program, const QStringList& arguments, const QString& providerRoot)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!providerRoot.isEmpty())
        environment.insert(QStringLiteral("NXCSP_ROOT"), providerRoot);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_TRUE(finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << program.toStdString() << " " << arguments.join(' ').toStdString() << ": "
        << process.readAllStandardError().toStdString();
    return output;
}

const QTemporaryDir& pkiDirectory()
{
    static QTemporaryDir directory;
    static const bool made = [] {
        runTool(QStringLiteral(MAKE_TEST_PKI), {directory.path()}, QString());
        return true;
    }();
    Q_UNUSED(made);
    return directory;
}

} // namespace

Workstation::Workstation() = default;

QString Workstation::pki(const QString& name)
{
    return pkiDirectory().filePath(name);
}

void Workstation::importContainer(const QString& name, const QString& key, const QString& certificate,
                                  const QString& pin) const
{
    QStringList arguments{QStringLiteral("container"), QStringLiteral("import"), name, QStringLiteral("--key"), key,
                          QStringLiteral("--cert"), certificate};
    if (!pin.isEmpty())
        arguments << QStringLiteral("--pin") << pin;
    admin(arguments);
}

void Workstation::addToStore(const QString& store, const QStringList& files) const
{
    admin(QStringList{QStringLiteral("store"), QStringLiteral("add"), store} + files);
}

QString Workstation::admin(const QStringList& arguments) const
{
    return runTool(QStringLiteral(NXCSP_ADMIN), arguments, providerRoot());
}
