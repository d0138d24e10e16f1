// nxcsp-admin sets up a workstation that the engine then uses.

#include "crypto_test_support.h"

#include <QBuffer>
#include <QDir>
#include <QRegularExpression>

using namespace crypto_test;
using namespace nxcrypto;

namespace {

class AdminTool : public ProviderRootTest
{
protected:
    int admin(const QStringList& arguments, QString* output = nullptr)
    {
        QString text;
        const int code = runProgram(QStringLiteral(VPP_NXCSP_ADMIN), arguments, &text);
        if (output)
            *output = text;
        return code;
    }
};

} // namespace

TEST_F(AdminTool, SetsUpContainersAndStoresThatTheEngineUses)
{
    const QString container = QStringLiteral("Иванов И.И. / 2026");
    QString output;
    ASSERT_EQ(admin({QStringLiteral("container"), QStringLiteral("import"), container, QStringLiteral("--key"),
                     TestPki::path(QStringLiteral("user.key.pem")), QStringLiteral("--cert"),
                     TestPki::path(QStringLiteral("user.pem")), QStringLiteral("--pin"), QStringLiteral("12345678")},
                    &output),
              0)
        << output.toStdString();
    ASSERT_EQ(admin({QStringLiteral("store"), QStringLiteral("add"), QStringLiteral("ROOT"),
                     TestPki::path(QStringLiteral("root.pem"))}),
              0);
    ASSERT_EQ(admin({QStringLiteral("store"), QStringLiteral("add"), QStringLiteral("CA"),
                     TestPki::path(QStringLiteral("ca-bundle.pem")), TestPki::path(QStringLiteral("root.crl.pem")),
                     TestPki::path(QStringLiteral("intermediate.crl"))},
                    &output),
              0)
        << output.toStdString();
    ASSERT_EQ(admin({QStringLiteral("container"), QStringLiteral("list")}, &output), 0);
    EXPECT_TRUE(output.startsWith(container + QStringLiteral("\tsignature: CN=Иванов Иван Иванович")))
        << output.toStdString();
    ASSERT_EQ(admin({QStringLiteral("store"), QStringLiteral("list"), QStringLiteral("CA")}, &output), 0);
    EXPECT_EQ(output.count(QRegularExpression(QStringLiteral("^certificate "), QRegularExpression::MultilineOption)),
              2);
    EXPECT_EQ(output.count(QRegularExpression(QStringLiteral("^crl "), QRegularExpression::MultilineOption)), 2);

    CryptoProCSPEngine engine;
    EXPECT_EQ(engine.getKeys(KeyStorageType::HD), QStringList{container});
    engine.init(config(container, {{QStringLiteral("caStore"), QStringLiteral("CA")}}));
    EXPECT_FALSE(errorOf([&] { engine.setKeyPass(QStringLiteral("wrong")); }).isEmpty());
    engine.setKeyPass(QStringLiteral("12345678"));
    QBuffer data;
    data.setData("подписываемые данные");
    data.open(QIODevice::ReadOnly);
    QBuffer signature;
    signature.open(QIODevice::ReadWrite);
    engine.sign(&data, &signature);
    data.seek(0);
    signature.seek(0);
    const SignInfoPtr info = engine.verifySign(
        QList<QIODevice*>{&data}, QList<QIODevice*>{&signature},
        [](const CertificateDescriptionPtr&) { return CertificateState::Valid; }, QDateTime());
    EXPECT_EQ(info->globalSignState(), SignState::Valid);
    EXPECT_EQ(info->certificateState(), CertificateState::Valid) << info->techInfo().toStdString();

    // A running engine sees what the command adds to its stores.
    EXPECT_TRUE(engine.getCertificates(false).isEmpty());
    ASSERT_EQ(admin({QStringLiteral("store"), QStringLiteral("add"), QStringLiteral("velmar_portal_proxy_trust"),
                     TestPki::path(QStringLiteral("agent.cer"))}),
              0);
    ASSERT_EQ(engine.getCertificates(false).size(), 1);
    EXPECT_TRUE(engine.getCertificates(false).front()->subjectName().contains(QStringLiteral("Трансфер-Агент")));

    // A new PIN replaces the old one; an empty one removes it.
    EXPECT_EQ(admin({QStringLiteral("container"), QStringLiteral("passwd"), container, QStringLiteral("--old"),
                     QStringLiteral("bad"), QStringLiteral("--new"), QStringLiteral("x")}),
              1);
    EXPECT_EQ(admin({QStringLiteral("container"), QStringLiteral("passwd"), container, QStringLiteral("--old"),
                     QStringLiteral("12345678"), QStringLiteral("--new"), QString()}),
              0);
    const auto unlocked = engineFor(container);
    data.seek(0);
    QBuffer second;
    second.open(QIODevice::WriteOnly);
    EXPECT_EQ(unlocked->sign(&data, &second).size(), 32);

    // Removing a CRL by its thumbprint.
    admin({QStringLiteral("store"), QStringLiteral("list"), QStringLiteral("CA")}, &output);
    const QString crl = QRegularExpression(QStringLiteral("^crl ([0-9a-f]{40})"), QRegularExpression::MultilineOption)
                            .match(output)
                            .captured(1);
    ASSERT_FALSE(crl.isEmpty());
    EXPECT_EQ(admin({QStringLiteral("store"), QStringLiteral("remove"), QStringLiteral("CA"), crl}), 0);
    EXPECT_EQ(admin({QStringLiteral("store"), QStringLiteral("remove"), QStringLiteral("CA"), crl}), 1);
    EXPECT_EQ(admin({QStringLiteral("container"), QStringLiteral("delete"), container}), 0);
    EXPECT_TRUE(engine.getKeys(KeyStorageType::HD).isEmpty());
}

TEST_F(AdminTool, MistakesExitNonZeroWithAMessage)
{
    struct Case
    {
        QStringList arguments;
        int code;
        QString message;
    };
    const Case cases[] = {
        {{}, 2, QStringLiteral("no command given")},
        {{QStringLiteral("container"), QStringLiteral("import"), QStringLiteral("x")}, 2, QStringLiteral("needs --key")},
        {{QStringLiteral("container"), QStringLiteral("import"), QStringLiteral("x"), QStringLiteral("--key"),
          TestPki::path(QStringLiteral("agent.key.pem")), QStringLiteral("--cert"),
          TestPki::path(QStringLiteral("user.pem"))},
         1,
         QStringLiteral("NTE_BAD_PUBLIC_KEY")},
        {{QStringLiteral("container"), QStringLiteral("delete"), QStringLiteral("nothing")},
         1,
         QStringLiteral("NTE_BAD_KEYSET")},
        {{QStringLiteral("store"), QStringLiteral("add"), QStringLiteral("CA"),
          TestPki::path(QStringLiteral("user.key.pem"))},
         1,
         QStringLiteral("private key")},
        {{QStringLiteral("store"), QStringLiteral("add"), QStringLiteral("CA"), QStringLiteral("/nonexistent")},
         1,
         QStringLiteral("ERROR_FILE_NOT_FOUND")},
        {{QStringLiteral("store"), QStringLiteral("remove"), QStringLiteral("CA"), QStringLiteral("abc")},
         2,
         QStringLiteral("no SHA-1 thumbprint")},
        {{QStringLiteral("store"), QStringLiteral("frobnicate"), QStringLiteral("CA")},
         2,
         QStringLiteral("unknown store subcommand")},
    };
    for (const Case& c : cases) {
        QString output;
        EXPECT_EQ(admin(c.arguments, &output), c.code) << c.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(output.contains(c.message)) << output.toStdString();
    }
    QString help;
    EXPECT_EQ(admin({QStringLiteral("--help")}, &help), 0);
    EXPECT_TRUE(help.contains(QStringLiteral("nxcsp-admin store remove STORE THUMBPRINT")));
    EXPECT_TRUE(
        QDir(rootPath() + QStringLiteral("/containers")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}
