#pragma once

#include "crypto/engine/crypto_pro_csp_engine.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace crypto_test {

// The GOST test PKI of this test program, made once by make-test-pki.
class TestPki : public ::testing::Environment
{
public:
    void SetUp() override;
    void TearDown() override;
    // A file of the PKI ("user.pem", "chain.p7b", ...).
    static QString path(const QString& name);
    static QByteArray bytes(const QString& name);
    // Generates another PKI into directory (with the CRL distribution points at crlBase).
    static void generate(const QString& directory, const QString& crlBase = QString());

private:
    static std::unique_ptr<QTemporaryDir> directory_;
};

// Runs a program and gives its exit code; its output goes to *output when given, input to its
// standard input.
int runProgram(const QString& program, const QStringList& arguments, QString* output = nullptr,
               const QStringList& extraEnvironment = QStringList(), const QByteArray& input = QByteArray());
// openssl with the GOST configuration of the test PKI.
int runOpenSsl(const QStringList& arguments, QString* output = nullptr);

// Every test gets an empty provider root of its own (NXCSP_ROOT).
class ProviderRootTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Imports NAME.key.pem with NAME.cer into the container.
    void importContainer(const QString& container, const QString& pkiName, bool exchange = false,
                         const QString& pin = QString());
    // Adds a PKI certificate (.cer) or CRL (.crl) to a named store.
    void addToStore(const QString& store, const QString& pkiFile);
    // ROOT: root; CA: intermediate; both CRLs into CA.
    void addStandardStores(bool withCrls = true);

    // The engine configuration: HD, the key, trust store "velmar_portal_proxy_trust",
    // with the given keys added or replaced.
    static QString config(const QString& keyName, const QJsonObject& extra = QJsonObject());
    QSharedPointer<nxcrypto::CryptoProCSPEngine> engineFor(const QString& keyName,
                                                           const QJsonObject& extra = QJsonObject());

    QString rootPath() const { return root_->path(); }
    QString tempFile(const QString& name, const QByteArray& content) const;

private:
    std::unique_ptr<QTemporaryDir> root_;
    QByteArray previousRoot_;
    bool hadRoot_ = false;
};

QByteArray readAll(const QString& path);

// The text of an exception thrown by the call, or "" when none was thrown.
template <typename Call>
QString errorOf(Call call)
{
    try {
        call();
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    }
    return QString();
}

} // namespace crypto_test
