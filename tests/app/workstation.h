#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A provider root with key containers and certificate stores, set up with the project's own
// tools from a test PKI that is generated afresh (once per test program).
class Workstation
{
public:
    Workstation();

    // A file of the test PKI (user.pem, chain.p7b, ...).
    static QString pki(const QString& name);

    QString providerRoot() const { return m_root.path(); }

    void importContainer(const QString& name, const QString& key, const QString& certificate,
                         const QString& pin = QString()) const;
    void addToStore(const QString& store, const QStringList& files) const;
    // Runs nxcsp-admin against this provider root; fails the test on a non-zero exit.
    QString admin(const QStringList& arguments) const;

private:
    QTemporaryDir m_root;
};
