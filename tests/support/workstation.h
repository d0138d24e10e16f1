#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <string>

// A provider root with key containers and certificate stores, set up with the project's own
// tools from the test PKI.
class Workstation
{
public:
    // The container and PIN of the user's key that UserKeyAndRoots imports.
    static constexpr const char* keyName = "user";
    static constexpr const char* pin = "4711";

    enum Setup {
        Empty,
        // The test user's key and certificate in one container under pin, the test CA
        // certificates in the ROOT store.
        UserKeyAndRoots
    };

    explicit Workstation(Setup setup = Empty);

    // A file of the test PKI (user.pem, chain.p7b, ...).
    static QString pki(const QString& name);

    QString providerRoot() const { return m_root.path(); }
    // "NXCSP_ROOT=..." for a program's environment.
    std::string environment() const { return "NXCSP_ROOT=" + m_root.path().toStdString(); }

    void importContainer(const QString& name, const QString& key, const QString& certificate,
                         const QString& pin = QString()) const;
    void addToStore(const QString& store, const QStringList& files) const;
    // Runs nxcsp-admin against this provider root; fails the test on a non-zero exit.
    QString admin(const QStringList& arguments) const;

private:
    QTemporaryDir m_root;
};
