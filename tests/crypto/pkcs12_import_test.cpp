// Keys brought as PKCS#12 files: nxcsp-admin container import --pfx, how the command takes PINs
// and passwords, and the engine's import.

#include "crypto_test_support.h"
#include "pkcs12_forge.h"
#include "terminal_session.h"

#include "support/pkcs12_export.h"

#include <QDirIterator>
#include <QFileInfo>

#include <map>

using namespace crypto_test;
using namespace nxcrypto;

namespace {

const QString pfxPassword = QStringLiteral("pfx secret");

// Every directory and file below root, with the bytes of the files.
std::map<QString, QByteArray> contentsOf(const QString& root)
{
    std::map<QString, QByteArray> contents;
    QDirIterator entries(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        contents[path] = entries.fileInfo().isDir() ? QByteArray("<directory>") : readAll(path);
    }
    return contents;
}

class Pkcs12Import : public ProviderRootTest
{
protected:
    void SetUp() override
    {
        ProviderRootTest::SetUp();
        ASSERT_TRUE(files.isValid());
    }

    // Files of the test live outside the provider root, which some tests compare whole.
    QString file(const QString& name, const QByteArray& content = QByteArray()) const
    {
        const QString path = files.filePath(name);
        if (!content.isNull()) {
            QFile out(path);
            if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
                throw std::runtime_error("cannot write " + path.toStdString());
        }
        return path;
    }

    QString pkcs12(const QString& pkiName, const QString& cipher, const QString& password = pfxPassword) const
    {
        const QString path = file(QStringLiteral("%1-%2.pfx").arg(pkiName, cipher));
        testsupport::exportGostPkcs12(QFileInfo(TestPki::path(QStringLiteral("user.pem"))).path().toStdString(),
                                      pkiName.toStdString(), cipher.toStdString(), password.toStdString(),
                                      path.toStdString());
        return path;
    }

    // Files the import refuses, made by `openssl pkcs12 -export` as well.
    QString certificatesOnlyPkcs12() const
    {
        return otherPkcs12(QStringLiteral("no-key.pfx"),
                           {"-nokeys", "-in", TestPki::path(QStringLiteral("user.pem")).toStdString(), "-certpbe",
                            "gost89", "-macalg", "md_gost12_512"});
    }
    QString rsaPkcs12() const
    {
        return otherPkcs12(QStringLiteral("rsa.pfx"),
                           {"-inkey", TestPki::path(QStringLiteral("rsa.key.pem")).toStdString(), "-in",
                            TestPki::path(QStringLiteral("rsa.pem")).toStdString()});
    }
    QString keyWithoutCertificatePkcs12() const
    {
        return otherPkcs12(QStringLiteral("no-certificate.pfx"),
                           {"-nocerts", "-inkey", TestPki::path(QStringLiteral("user.key.pem")).toStdString(),
                            "-keypbe", "gost89", "-macalg", "md_gost12_512"});
    }

    int admin(const QStringList& arguments, QString* output = nullptr, const QByteArray& input = QByteArray()) const
    {
        QString text;
        const int code = runProgram(QStringLiteral(VPP_NXCSP_ADMIN), arguments, &text, QStringList(), input);
        if (output)
            *output = text;
        return code;
    }

    int importPfx(const QString& container, const QString& pfx, const QString& password, const QString& pin,
                  QString* output = nullptr) const
    {
        return admin({QStringLiteral("container"), QStringLiteral("import"), container, QStringLiteral("--pfx"), pfx,
                      QStringLiteral("--pfx-password-file"), file(QStringLiteral("password"), password.toUtf8()),
                      QStringLiteral("--pin-file"), file(QStringLiteral("pin"), pin.toUtf8() + '\n')},
                     output);
    }

    // The container's key signs under the PIN, and OpenSSL's CMS verifies the signature.
    void expectSignsAndVerifies(const QString& container, const QString& pin)
    {
        const auto engine = engineFor(container);
        engine->setKeyPass(pin);
        const QString data = file(container + QStringLiteral(".data"), "Данные, подписанные импортированным ключом\n");
        const QString signature = file(container + QStringLiteral(".sign"));
        engine->sign(QFileInfo(data), QFileInfo(signature));
        QString output;
        EXPECT_EQ(runOpenSsl({QStringLiteral("cms"), QStringLiteral("-verify"), QStringLiteral("-binary"),
                              QStringLiteral("-inform"), QStringLiteral("DER"), QStringLiteral("-in"), signature,
                              QStringLiteral("-content"), data, QStringLiteral("-CAfile"),
                              TestPki::path(QStringLiteral("ca-bundle.pem")), QStringLiteral("-purpose"),
                              QStringLiteral("any"), QStringLiteral("-out"), QStringLiteral("/dev/null")},
                             &output),
                  0)
            << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("Verification successful"))) << output.toStdString();
    }

    // Whether the key of the container takes the PIN.
    bool takesPin(const QString& container, const QString& pin)
    {
        return errorOf([&] { engineFor(container)->setKeyPass(pin); }).isEmpty();
    }

    QTemporaryDir files;

private:
    QString otherPkcs12(const QString& name, const std::vector<std::string>& options) const
    {
        const QString path = file(name);
        testsupport::exportPkcs12(options, pfxPassword.toStdString(), path.toStdString());
        return path;
    }
};

} // namespace

TEST_F(Pkcs12Import, KeysOfEveryKindUnderEitherCipherSignAndTheirChainGoesToTheCaStore)
{
    for (const char* name : {"user", "user512", "user2001"}) {
        for (const char* cipher : {"gost89", "kuznyechik-ctr-acpkm"}) {
            const QString container = QStringLiteral("%1 (%2)").arg(QLatin1String(name), QLatin1String(cipher));
            SCOPED_TRACE(container.toStdString());
            QString output;
            ASSERT_EQ(importPfx(container, pkcs12(QLatin1String(name), QLatin1String(cipher)), pfxPassword,
                                QStringLiteral("5678"), &output),
                      0)
                << output.toStdString();
            EXPECT_TRUE(
                output.contains(QStringLiteral("imported signature key into container \"%1\" with PIN").arg(container)))
                << output.toStdString();
            EXPECT_TRUE(output.contains(QStringLiteral("added 2 certification authority certificate(s)")))
                << output.toStdString();
            expectSignsAndVerifies(container, QStringLiteral("5678"));
            EXPECT_FALSE(takesPin(container, QStringLiteral("8765")));
        }
    }
    QStringList authorities;
    for (const auto& certificate : engineFor(QStringLiteral("user (gost89)"))->getCertificates(true))
        authorities << certificate->subjectName();
    EXPECT_EQ(authorities.size(), 2) << authorities.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(authorities.join(QLatin1Char('|')).contains(QStringLiteral("Root CA")))
        << authorities.join(QLatin1Char('|')).toStdString();
}

TEST_F(Pkcs12Import, AKuznyechikFileWithAStreebogPrfAsOtherGostToolsWriteItImportsToo)
{
    const QString pfx = file(QStringLiteral("streebog.pfx"),
                             forgeStreebogKuznyechikPkcs12(QStringLiteral("user512"), pfxPassword.toUtf8()));
    QString info;
    ASSERT_EQ(runOpenSsl({QStringLiteral("pkcs12"), QStringLiteral("-engine"), QStringLiteral("gost"),
                          QStringLiteral("-info"), QStringLiteral("-noout"), QStringLiteral("-in"), pfx,
                          QStringLiteral("-passin"), QStringLiteral("pass:") + pfxPassword},
                         &info),
              0)
        << info.toStdString();
    EXPECT_EQ(info.count(QStringLiteral("PBES2, PBKDF2, kuznyechik-ctr-acpkm, Iteration 2048, PRF "
                                        "id-tc26-hmac-gost-3411-2012-512")),
              2)
        << info.toStdString();
    QString output;
    ASSERT_EQ(importPfx(QStringLiteral("streebog"), pfx, pfxPassword, QStringLiteral("2468"), &output), 0)
        << output.toStdString();
    expectSignsAndVerifies(QStringLiteral("streebog"), QStringLiteral("2468"));
}

TEST_F(Pkcs12Import, RefusedFilesSayWhyAndLeaveTheProviderRootAsItWas)
{
    // A workstation in use: a container and a store already there.
    importContainer(QStringLiteral("present"), QStringLiteral("agent"));
    addToStore(QStringLiteral("ROOT"), QStringLiteral("root.cer"));
    const QString good = pkcs12(QStringLiteral("user"), QStringLiteral("gost89"));
    struct Case
    {
        const char* what;
        QString container;
        QString pfx;
        QString password;
        QString message;
    };
    const Case cases[] = {
        {"wrong password", QStringLiteral("new"), good, QStringLiteral("not the password"),
         QStringLiteral("wrong password for ") + good},
        {"a certificate, no PKCS#12", QStringLiteral("new"), TestPki::path(QStringLiteral("user.pem")), pfxPassword,
         QStringLiteral("is no PKCS#12 file")},
        {"an empty file", QStringLiteral("new"), file(QStringLiteral("empty.pfx"), ""), pfxPassword,
         QStringLiteral("is no PKCS#12 file")},
        {"certificates only", QStringLiteral("new"), certificatesOnlyPkcs12(), pfxPassword,
         QStringLiteral("holds no private key")},
        {"an RSA key", QStringLiteral("new"), rsaPkcs12(), pfxPassword,
         QStringLiteral("is no GOST R 34.10-2001 or 2012 key")},
        {"a key without its certificate", QStringLiteral("new"), keyWithoutCertificatePkcs12(), pfxPassword,
         QStringLiteral("holds no certificate of its key")},
        {"a container that has a key", QStringLiteral("present"), good, pfxPassword, QStringLiteral("NTE_EXISTS")},
    };
    const auto before = contentsOf(rootPath());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString output;
        EXPECT_EQ(importPfx(c.container, c.pfx, c.password, QStringLiteral("1234"), &output), 1)
            << output.toStdString();
        EXPECT_TRUE(output.contains(c.message)) << output.toStdString();
        EXPECT_TRUE(contentsOf(rootPath()) == before);
    }
}

TEST_F(Pkcs12Import, PinsAndPasswordsComeFromFilesStandardInputOrTheCommandLineWithAWarning)
{
    const QString pfx = pkcs12(QStringLiteral("user"), QStringLiteral("gost89"));
    const QString pinFile = file(QStringLiteral("pin.txt"), "PIN из файла\r\n");
    const QString passwordFile = file(QStringLiteral("password.txt"), pfxPassword.toUtf8() + '\n');
    const QString warning = QStringLiteral("puts the secret on the command line");
    struct Case
    {
        const char* what;
        QStringList options;
        QByteArray input;
        QString pin;
        bool warns;
    };
    const Case cases[] = {
        {"from files, a Windows line end dropped",
         {QStringLiteral("--pfx-password-file"), passwordFile, QStringLiteral("--pin-file"), pinFile},
         QByteArray(),
         QStringLiteral("PIN из файла"),
         false},
        {"both on standard input, the password first",
         {QStringLiteral("--pfx-password-file"), QStringLiteral("-"), QStringLiteral("--pin-file"),
          QStringLiteral("-")},
         pfxPassword.toUtf8() + "\n4321\n",
         QStringLiteral("4321"),
         false},
        {"the PIN as a value, as scripts still give it",
         {QStringLiteral("--pfx-password-file"), passwordFile, QStringLiteral("--pin"), QStringLiteral("9999")},
         QByteArray(),
         QStringLiteral("9999"),
         true},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString container = QStringLiteral("key %1").arg(++number);
        QString output;
        ASSERT_EQ(admin(QStringList{QStringLiteral("container"), QStringLiteral("import"), container,
                                    QStringLiteral("--pfx"), pfx}
                            + c.options,
                        &output, c.input),
                  0)
            << output.toStdString();
        EXPECT_EQ(output.contains(warning), c.warns) << output.toStdString();
        EXPECT_TRUE(takesPin(container, c.pin));
        EXPECT_FALSE(takesPin(container, c.pin + QStringLiteral("x")));
    }

    // The PIN changes the same ways: the current one, then the new one.
    QString output;
    ASSERT_EQ(admin({QStringLiteral("container"), QStringLiteral("passwd"), QStringLiteral("key 2"),
                     QStringLiteral("--old-pin-file"), QStringLiteral("-"), QStringLiteral("--new-pin-file"),
                     QStringLiteral("-")},
                    &output, "4321\nновый PIN\n"),
              0)
        << output.toStdString();
    EXPECT_TRUE(takesPin(QStringLiteral("key 2"), QStringLiteral("новый PIN")));
    EXPECT_FALSE(output.contains(warning));
}

TEST_F(Pkcs12Import, MissingOrDoubledSecretsAreUsageMistakes)
{
    const QString pfx = pkcs12(QStringLiteral("user"), QStringLiteral("gost89"));
    const QString pinFile = file(QStringLiteral("pin.txt"), "1234\n");
    struct Case
    {
        const char* what;
        QStringList arguments;
        QByteArray input;
        int code;
        QString message;
    };
    const Case cases[] = {
        {"no password without a terminal",
         {QStringLiteral("import"), QStringLiteral("k"), QStringLiteral("--pfx"), pfx},
         QByteArray(),
         2,
         QStringLiteral("is asked on a terminal")},
        {"PIN as a value and from a file",
         {QStringLiteral("import"), QStringLiteral("k"), QStringLiteral("--key"),
          TestPki::path(QStringLiteral("user.key.pem")), QStringLiteral("--cert"),
          TestPki::path(QStringLiteral("user.pem")), QStringLiteral("--pin"), QStringLiteral("1"),
          QStringLiteral("--pin-file"), pinFile},
         QByteArray(),
         2,
         QStringLiteral("give --pin or --pin-file, not both")},
        {"--pfx with --key",
         {QStringLiteral("import"), QStringLiteral("k"), QStringLiteral("--pfx"), pfx, QStringLiteral("--key"),
          TestPki::path(QStringLiteral("user.key.pem"))},
         QByteArray(),
         2,
         QStringLiteral("not both")},
        {"standard input ends before the line",
         {QStringLiteral("import"), QStringLiteral("k"), QStringLiteral("--pfx"), pfx,
          QStringLiteral("--pfx-password-file"), QStringLiteral("-"), QStringLiteral("--pin-file"),
          QStringLiteral("-")},
         pfxPassword.toUtf8() + '\n',
         1,
         QStringLiteral("standard input ended before the line of --pin-file")},
        {"a PIN file that does not exist",
         {QStringLiteral("import"), QStringLiteral("k"), QStringLiteral("--key"),
          TestPki::path(QStringLiteral("user.key.pem")), QStringLiteral("--cert"),
          TestPki::path(QStringLiteral("user.pem")), QStringLiteral("--pin-file"), file(QStringLiteral("none"))},
         QByteArray(),
         1,
         QStringLiteral("cannot open")},
        {"a PIN longer than any PIN",
         {QStringLiteral("import"), QStringLiteral("k"), QStringLiteral("--key"),
          TestPki::path(QStringLiteral("user.key.pem")), QStringLiteral("--cert"),
          TestPki::path(QStringLiteral("user.pem")), QStringLiteral("--pin-file"), QStringLiteral("-")},
         QByteArray(5000, 'x'),
         1,
         QStringLiteral("longer than 4096 bytes")},
        {"passwd without the PINs",
         {QStringLiteral("passwd"), QStringLiteral("k")},
         QByteArray(),
         2,
         QStringLiteral("needs the current and the new PIN")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString output;
        EXPECT_EQ(admin(QStringList{QStringLiteral("container")} + c.arguments, &output, c.input), c.code)
            << output.toStdString();
        EXPECT_TRUE(output.contains(c.message)) << output.toStdString();
    }
}

TEST_F(Pkcs12Import, OnATerminalThePasswordAndThePinAreAskedWithoutEcho)
{
    const QString pfx = pkcs12(QStringLiteral("user512"), QStringLiteral("kuznyechik-ctr-acpkm"));
    TerminalSession terminal({VPP_NXCSP_ADMIN, "container", "import", "typed", "--pfx", pfx.toStdString()});
    ASSERT_TRUE(terminal.waitFor("Password of " + pfx.toStdString() + ": ")) << terminal.transcript();
    EXPECT_FALSE(terminal.echoes());
    terminal.type(pfxPassword.toStdString() + "\n");
    ASSERT_TRUE(terminal.waitFor("PIN for the key in the container (empty: none): ")) << terminal.transcript();
    EXPECT_FALSE(terminal.echoes());
    terminal.type("typed PIN\n");
    ASSERT_TRUE(terminal.waitFor("Repeat: ")) << terminal.transcript();
    terminal.type("typed PIN\n");
    EXPECT_EQ(terminal.waitForExit(), 0) << terminal.transcript();
    EXPECT_TRUE(terminal.echoes());
    EXPECT_EQ(terminal.transcript().find(pfxPassword.toStdString()), std::string::npos) << terminal.transcript();
    EXPECT_EQ(terminal.transcript().find("typed PIN"), std::string::npos) << terminal.transcript();
    EXPECT_TRUE(takesPin(QStringLiteral("typed"), QStringLiteral("typed PIN")));
}

TEST_F(Pkcs12Import, OnATerminalAMistypedRepeatFailsAndCtrlCBringsTheEchoBack)
{
    const QString pfx = pkcs12(QStringLiteral("user"), QStringLiteral("gost89"));
    {
        TerminalSession terminal({VPP_NXCSP_ADMIN, "container", "import", "mistyped", "--key",
                                  TestPki::path(QStringLiteral("user.key.pem")).toStdString(), "--cert",
                                  TestPki::path(QStringLiteral("user.pem")).toStdString()});
        ASSERT_TRUE(terminal.waitFor("(empty: none): ")) << terminal.transcript();
        terminal.type("1111\n");
        ASSERT_TRUE(terminal.waitFor("Repeat: ")) << terminal.transcript();
        terminal.type("2222\n");
        EXPECT_EQ(terminal.waitForExit(), 1) << terminal.transcript();
        EXPECT_NE(terminal.transcript().find("the two entries differ"), std::string::npos) << terminal.transcript();
        EXPECT_TRUE(terminal.echoes());
    }
    EXPECT_FALSE(QDir(rootPath() + QStringLiteral("/containers/mistyped")).exists());

    TerminalSession terminal({VPP_NXCSP_ADMIN, "container", "import", "interrupted", "--pfx", pfx.toStdString()});
    ASSERT_TRUE(terminal.waitFor("Password of ")) << terminal.transcript();
    ASSERT_FALSE(terminal.echoes());
    terminal.type("\x03"); // Ctrl-C
    EXPECT_EQ(terminal.waitForExit(), 128 + SIGINT) << terminal.transcript();
    EXPECT_TRUE(terminal.echoes());
}

TEST_F(Pkcs12Import, TheEngineImportsIntoItsCaStoreAndTellsRefusalsApart)
{
    CryptoProCSPEngine engine;
    const QString password = QStringLiteral("пароль файла");
    const QByteArray pfx = readAll(pkcs12(QStringLiteral("user2001"), QStringLiteral("gost89"), password));
    const CertificateDescriptionPtr certificate =
        engine.importKey(QStringLiteral("из файла"), pfx, password, QStringLiteral("PIN ключа"));
    ASSERT_FALSE(certificate.isNull());
    EXPECT_TRUE(certificate->subjectName().contains(QStringLiteral("Сидоров")))
        << certificate->subjectName().toStdString();
    EXPECT_EQ(engine.getKeys(KeyStorageType::HD), QStringList{QStringLiteral("из файла")});
    expectSignsAndVerifies(QStringLiteral("из файла"), QStringLiteral("PIN ключа"));

    struct Case
    {
        const char* what;
        QString container;
        QByteArray pfx;
        QString password;
        KeyImportProblem problem;
    };
    const Case cases[] = {
        {"wrong password", QStringLiteral("other"), pfx, pfxPassword, KeyImportProblem::WrongPassword},
        {"no PKCS#12", QStringLiteral("other"), TestPki::bytes(QStringLiteral("user.cer")), password,
         KeyImportProblem::NotPkcs12},
        {"certificates only", QStringLiteral("other"), readAll(certificatesOnlyPkcs12()), pfxPassword,
         KeyImportProblem::NoKey},
        {"an RSA key", QStringLiteral("other"), readAll(rsaPkcs12()), pfxPassword, KeyImportProblem::NotGostKey},
        {"no certificate", QStringLiteral("other"), readAll(keyWithoutCertificatePkcs12()), pfxPassword,
         KeyImportProblem::NoKeyCertificate},
        {"the container exists", QStringLiteral("из файла"), pfx, password, KeyImportProblem::ContainerExists},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            engine.importKey(c.container, c.pfx, c.password, QStringLiteral("1234"));
            ADD_FAILURE() << "imported";
        } catch (const KeyImportError& error) {
            EXPECT_EQ(error.problem(), c.problem) << error.what();
            EXPECT_TRUE(
                error.message().startsWith(QStringLiteral("CryptoProCSPEngine::importKey(%1): ").arg(c.container)))
                << error.what();
        }
    }
    EXPECT_EQ(engine.getKeys(KeyStorageType::HD), QStringList{QStringLiteral("из файла")});
}
