#include "workstation.h"

#include "command.h"
#include "test_pki.h"

#include <gtest/gtest.h>

Workstation::Workstation(Setup setup)
{
    if (setup != UserKeyAndRoots)
        return;
    importContainer(QString::fromLatin1(keyName), pki(QStringLiteral("user.key.pem")), pki(QStringLiteral("user.pem")),
                    QString::fromLatin1(pin));
    addToStore(QStringLiteral("ROOT"), {pki(QStringLiteral("root.pem")), pki(QStringLiteral("intermediate.pem"))});
}

QString Workstation::pki(const QString& name)
{
    return QString::fromStdString(testsupport::TestPki::instance().file(name.toStdString()).string());
}

void Workstation::importContainer(const QString& name, const QString& key, const QString& certificate,
                                  const QString& pin) const
{
    QStringList arguments{QStringLiteral("container"),
                          QStringLiteral("import"),
                          name,
                          QStringLiteral("--key"),
                          key,
                          QStringLiteral("--cert"),
                          certificate};
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
    std::vector<std::string> command{VPP_NXCSP_ADMIN};
    for (const QString& argument : arguments)
        command.push_back(argument.toStdString());
    const testsupport::CommandResult result = testsupport::runCommand(command, {environment()});
    EXPECT_EQ(result.exitStatus, 0) << "nxcsp-admin " << arguments.join(' ').toStdString() << ": " << result.errors;
    return QString::fromStdString(result.output);
}
