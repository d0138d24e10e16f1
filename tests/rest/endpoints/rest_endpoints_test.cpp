#include "support/file_size_limit.h"
#include "support/http_test_client.h"
#include "support/local_ports.h"
#include "support/pkcs12_export.h"
#include "support/proxy_process.h"
#include "support/workstation.h"

#include "tessel/filefuncs.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

QJsonValue jsonOf(const HttpAnswer& answer)
{
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(answer.body));
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

std::string text(const QJsonValue& value)
{
    return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact)).toStdString();
}

void expectNoCache(const HttpAnswer& answer)
{
    EXPECT_EQ(answer.header("Pragma"), "no-cache");
    EXPECT_EQ(answer.header("Cache-Control"), "no-cache, no-store, must-revalidate");
    EXPECT_EQ(answer.header("Expires"), "0");
}

// The proxy against a provider root of its own; the configuration file starts absent.
class RestEndpoints : public ::testing::Test
{
protected:
    Workstation workstation;
    ProxyProcess proxy;
    unsigned short port = freeLocalPort();
    QString configFile;
    QTemporaryDir samples;

    // Small files of each kind the storage tells apart.
    std::string sample(const QString& name)
    {
        const QString path = samples.filePath(name);
        if (QFile::exists(path))
            return path.toStdString();
        if (name.endsWith(QLatin1String(".zip"))) {
            tessel::utils::zip(QFileInfo(path),
                               {QFileInfo(QString::fromStdString(sample(QStringLiteral("inner.pdf"))))}, {});
            return path.toStdString();
        }
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        if (name.endsWith(QLatin1String(".pdf")))
            file.write("%PDF-1.4\n%sample document\n%%EOF\n");
        else
            file.write(QByteArray("\x89PNG\r\n\x1A\n", 8) + QByteArray(32, '\0'));
        return path.toStdString();
    }

    void startProxy(const QString& extraConfig = QString())
    {
        configFile = proxy.writeConfig(port, extraConfig);
        proxy.setEnvironment(QStringLiteral("NXCSP_ROOT"), workstation.providerRoot());
        ASSERT_TRUE(proxy.start({QStringLiteral("--stderr"), QStringLiteral("-c"), configFile}))
            << proxy.standardError().toStdString();
    }

    void TearDown() override
    {
        if (proxy.process().state() == QProcess::Running) {
            httpRequest(port, "GET", "/quit");
            EXPECT_EQ(proxy.waitForExit(), 0);
        }
    }

    HttpAnswer get(const std::string& path) { return httpRequest(port, "GET", "/local/rest/v1/" + path); }
    HttpAnswer post(const std::string& path, const std::string& body)
    {
        return httpRequest(port, "POST", "/local/rest/v1/" + path, body);
    }
    HttpAnswer post(const std::string& path, const QJsonObject& body)
    {
        return post(path, QJsonDocument(body).toJson().toStdString());
    }

    void importUser(const QString& name = QStringLiteral("demo"), const QString& pin = QStringLiteral("1234"))
    {
        workstation.importContainer(name, Workstation::pki(QStringLiteral("user.key.pem")),
                                    Workstation::pki(QStringLiteral("user.pem")), pin);
        workstation.addToStore(QStringLiteral("ROOT"),
                               {Workstation::pki(QStringLiteral("root.pem")),
                                Workstation::pki(QStringLiteral("intermediate.pem"))});
    }

    // A certificates-only PKCS#7 of a PEM certificate, as a user would import it; copies of it
    // make a bundle of that many.
    std::string pkcs7Of(const QString& pkiFile, int copies = 1)
    {
        const QString path = samples.filePath(pkiFile + QStringLiteral(".%1.p7b").arg(copies));
        const QString bundle = samples.filePath(pkiFile + QStringLiteral(".%1.pem").arg(copies));
        QFile source(Workstation::pki(pkiFile));
        EXPECT_TRUE(source.open(QIODevice::ReadOnly));
        QFile target(bundle);
        EXPECT_TRUE(target.open(QIODevice::WriteOnly));
        target.write(source.readAll().repeated(copies));
        target.close();
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("crl2pkcs7"), QStringLiteral("-nocrl"), QStringLiteral("-certfile"), bundle,
                       QStringLiteral("-outform"), QStringLiteral("DER"), QStringLiteral("-out"), path});
        EXPECT_TRUE(openssl.waitForFinished() && openssl.exitCode() == 0)
            << openssl.readAllStandardError().toStdString();
        return path.toStdString();
    }

    // The temporary id of an uploaded file.
    std::string upload(const QString& pkiFile, const std::string& type = "certificate")
    {
        return uploadPath(Workstation::pki(pkiFile).toStdString(), type);
    }

    std::string uploadPath(const std::string& path, const std::string& type = "certificate")
    {
        const HttpAnswer answer = httpUpload(port, "/local/rest/v1/storage?type=" + type, {path});
        EXPECT_EQ(answer.status, 200) << answer.body;
        return jsonOf(answer).toArray().at(0).toString().toStdString();
    }
};

} // namespace

TEST_F(RestEndpoints, PingAndVersion)
{
    startProxy();
    const HttpAnswer ping = get("ping");
    EXPECT_EQ(ping.status, 204);
    expectNoCache(ping);
    const HttpAnswer version = get("version");
    EXPECT_EQ(version.status, 200);
    EXPECT_EQ(version.body, "1.3.1");
    EXPECT_EQ(version.header("Content-Type"), "application/json");
}

TEST_F(RestEndpoints, PostedSettingsAreAppliedAndSaved)
{
    importUser();
    startProxy();
    const HttpAnswer first = get("settings");
    EXPECT_EQ(first.status, 200);
    expectNoCache(first);
    EXPECT_FALSE(jsonOf(first).toObject().value("initial").toBool()); // read from its file

    QJsonObject settings = jsonOf(first).toObject().value("settings").toObject();
    settings.insert("appUrl", "https://portal.example:9443/velmar-portal/");
    settings.insert("crypto", QJsonObject{{"keyName", "demo"}});
    QElapsedTimer timer;
    timer.start();
    const HttpAnswer saved = post("settings", settings);
    EXPECT_EQ(saved.status, 204) << saved.body;
    EXPECT_GE(timer.elapsed(), 2000);

    const QJsonObject after = jsonOf(get("settings")).toObject();
    EXPECT_FALSE(after.value("initial").toBool());
    EXPECT_EQ(after.value("settings").toObject().value("appUrl").toString(), "https://portal.example:9443");
    QFile file(configFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject inFile = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_EQ(inFile.value("crypto").toObject().value("keyName").toString(), "demo");
    EXPECT_EQ(inFile.value("appUrl").toString(), "https://portal.example:9443");
}

TEST_F(RestEndpoints, SettingsWithAFailingKeyAreSavedAndReported)
{
    importUser();
    startProxy();
    QJsonObject settings = jsonOf(get("settings")).toObject().value("settings").toObject();
    settings.insert("crypto", QJsonObject{{"keyName", "no such container"}});
    const HttpAnswer answer = post("settings", settings);
    EXPECT_EQ(answer.status, 500);
    EXPECT_EQ(answer.body.rfind("Failed to initialize with new settings: ", 0), 0u) << answer.body;
    QFile file(configFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(file.readAll()).object().value("crypto").toObject().value("keyName").toString(),
              "no such container");
    httpRequest(port, "GET", "/quit");
    EXPECT_EQ(proxy.waitForExit(), 0);
    EXPECT_EQ(proxy.standardError().count(QStringLiteral("ERROR: Error initializing crypto library: ")), 1);
}

TEST_F(RestEndpoints, SettingsThatCannotBeSavedAreReportedAndTheFileIsKept)
{
    importUser();
    {
        // The proxy keeps the limit it starts with: its configuration cannot grow beyond it.
        const FileSizeLimit limit(64 * 1024);
        startProxy();
    }
    QFile file(configFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    QJsonObject settings = jsonOf(get("settings")).toObject().value("settings").toObject();
    settings.insert("crypto", QJsonObject{{"keyName", "demo"}});
    settings.insert("storageDir", QString(100 * 1024, QLatin1Char('s')));
    const HttpAnswer answer = post("settings", settings);
    EXPECT_EQ(answer.status, 500);
    EXPECT_EQ(answer.body, "File too large");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(proxy.home().entryList({QStringLiteral("config.json*")}, QDir::Files), QStringList{"config.json"});
}

TEST_F(RestEndpoints, KeysAndTheirCertificates)
{
    importUser(QStringLiteral("demo"));
    workstation.importContainer(QStringLiteral("agent"), Workstation::pki(QStringLiteral("agent.key.pem")),
                                Workstation::pki(QStringLiteral("agent.pem")));
    startProxy();
    const QJsonArray keys = jsonOf(get("crypto/keys")).toArray();
    ASSERT_EQ(keys.size(), 2);
    for (const QJsonValue& key : keys)
        EXPECT_EQ(key.toObject().value("id"), key.toObject().value("name"));
    EXPECT_EQ(jsonOf(get("crypto/keys")).toArray(), keys); // a stable order

    const HttpAnswer certificate = post("crypto/keys/certificate", std::string("demo"));
    ASSERT_EQ(certificate.status, 200) << certificate.body;
    const QJsonObject leaf = jsonOf(certificate).toObject();
    EXPECT_TRUE(leaf.value("subjectName").toString().contains(QStringLiteral("Иванов Иван Иванович"))) << text(leaf);
    EXPECT_FALSE(leaf.value("serialNumber").toString().isEmpty());
    EXPECT_FALSE(leaf.value("serialNumberHex").toString().isEmpty());
    EXPECT_TRUE(QDateTime::fromString(leaf.value("validTo").toString(), Qt::RFC2822Date).isValid()) << text(leaf);
    EXPECT_FALSE(leaf.contains("publicKeyAlgorithm"));
    // The engine is initialised with this key, so the chain comes along: user, issuing CA, root.
    const QJsonObject issuing = leaf.value("issuerCertificate").toObject();
    EXPECT_EQ(issuing.value("subjectName").toString(), leaf.value("issuerName").toString()) << text(leaf);
    EXPECT_FALSE(issuing.value("issuerCertificate").toObject().isEmpty()) << text(leaf);

    const HttpAnswer quoted = post("crypto/keys/certificate", std::string("\"demo\""));
    EXPECT_EQ(quoted.status, 500);
    EXPECT_FALSE(quoted.body.empty());
}

TEST_F(RestEndpoints, CertificatesAreEmptyBeforeAnyKeyIsConfigured)
{
    startProxy();
    const HttpAnswer answer = get("crypto/certificates");
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(jsonOf(answer).toObject(), (QJsonObject{{"reg", QJsonArray()}, {"ca", QJsonArray()}}));
}

TEST_F(RestEndpoints, ImportChainAndDeleteACertificateThroughHttp)
{
    importUser();
    startProxy();
    const QJsonObject before = jsonOf(get("crypto/certificates")).toObject();

    const std::string id = upload(QStringLiteral("chain.p7b"));
    ASSERT_NE(id, "00000000-0000-0000-0000-000000000000");
    const HttpAnswer preview = post("crypto/certificates/blob", id);
    ASSERT_EQ(preview.status, 200) << preview.body;
    EXPECT_TRUE(jsonOf(preview).toObject().value("subjectName").toString().contains(QStringLiteral("Иванов")));
    EXPECT_EQ(jsonOf(get("crypto/certificates")).toObject(), before); // a preview changes no store

    EXPECT_EQ(post("crypto/certificates/add", QJsonObject{{"id", QString::fromStdString(id)}, {"ca", false}}).status,
              204);
    const QJsonArray reg = jsonOf(get("crypto/certificates")).toObject().value("reg").toArray();
    ASSERT_EQ(reg.size(), before.value("reg").toArray().size() + 1);
    QJsonObject added;
    for (const QJsonValue& certificate : reg) {
        if (certificate.toObject().value("subjectName").toString().contains(QStringLiteral("Иванов")))
            added = certificate.toObject();
    }
    ASSERT_FALSE(added.isEmpty());

    const HttpAnswer chain = post("crypto/certificates/chain", QJsonObject{{"cert", added}, {"ca", false}});
    ASSERT_EQ(chain.status, 200) << chain.body;
    const QJsonObject issuer = jsonOf(chain).toObject().value("issuerCertificate").toObject();
    EXPECT_FALSE(issuer.isEmpty()) << chain.body;

    EXPECT_EQ(post("crypto/certificates/delete", QJsonObject{{"cert", added}, {"ca", false}}).status, 204);
    const HttpAnswer again = post("crypto/certificates/delete", QJsonObject{{"cert", added}, {"ca", false}});
    EXPECT_EQ(again.status, 404);
    EXPECT_EQ(again.body, "Not found!");
    EXPECT_EQ(post("crypto/certificates/chain", QJsonObject{{"cert", added}, {"ca", false}}).status, 404);
}

TEST_F(RestEndpoints, UploadedIdsThatAreUnknownOrRsa)
{
    importUser();
    workstation.addToStore(QStringLiteral("velmar_portal_proxy_trust"), {Workstation::pki(QStringLiteral("rsa.pem"))});
    startProxy();
    for (const char* store : {"reg", "ca"}) {
        for (const QJsonValue& certificate : jsonOf(get("crypto/certificates")).toObject().value(store).toArray())
            EXPECT_FALSE(certificate.toObject()
                             .value("subjectName")
                             .toString()
                             .contains(QStringLiteral("RSA"), Qt::CaseInsensitive));
    }
    const QJsonObject before = jsonOf(get("crypto/certificates")).toObject();
    const std::string rsaId = uploadPath(pkcs7Of(QStringLiteral("rsa.pem")));
    const HttpAnswer rsa = post("crypto/certificates/blob", rsaId);
    EXPECT_EQ(rsa.status, 400);
    EXPECT_EQ(rsa.body, "Unknown public key algorithm");
    // What the preview refuses cannot be trusted either.
    const HttpAnswer added =
        post("crypto/certificates/add", QJsonObject{{"id", QString::fromStdString(rsaId)}, {"ca", false}});
    EXPECT_EQ(added.status, 400);
    EXPECT_EQ(added.body, "Unknown public key algorithm");
    EXPECT_EQ(jsonOf(get("crypto/certificates")).toObject(), before);

    const HttpAnswer unknown = post("crypto/certificates/blob", std::string("0123abcd-0000-0000-0000-000000000000"));
    EXPECT_EQ(unknown.status, 500);
    EXPECT_EQ(unknown.body, "Temporary file not found: {0123abcd-0000-0000-0000-000000000000}");
}

// A file that would cost seconds of work per call is refused before it is parsed.
TEST_F(RestEndpoints, CertificateFilesBeyondTheLimitsAreRefused)
{
    importUser();
    startProxy();
    const QJsonObject before = jsonOf(get("crypto/certificates")).toObject();
    EXPECT_EQ(post("crypto/certificates/blob", uploadPath(pkcs7Of(QStringLiteral("user.pem"), 100))).status, 200);

    const std::string bundle = uploadPath(pkcs7Of(QStringLiteral("user.pem"), 101));
    const std::string large = samples.filePath(QStringLiteral("large.p7b")).toStdString();
    std::ofstream(large, std::ios::binary) << std::string(1024 * 1024 + 1, '\x30');
    const struct
    {
        std::string id;
        std::string error;
    } cases[] = {
        {bundle, "openBlobStore(): The blob holds 101 certificates, more than 100"},
        {uploadPath(large), "Certificate file is larger than 1048576 bytes"},
    };
    for (const auto& c : cases) {
        for (const std::string call : {"crypto/certificates/blob", "crypto/certificates/add"}) {
            const std::string body = call == "crypto/certificates/blob"
                ? c.id
                : QJsonDocument(QJsonObject{{"id", QString::fromStdString(c.id)}, {"ca", false}}).toJson().toStdString();
            const HttpAnswer answer = post(call, body);
            EXPECT_EQ(answer.status, 400) << call;
            EXPECT_EQ(answer.body, c.error) << call;
        }
    }
    EXPECT_EQ(jsonOf(get("crypto/certificates")).toObject(), before);
}

// An upload's file is closed once it is stored: many uploads do not use up the descriptors.
TEST_F(RestEndpoints, UploadsHoldNoDescriptor)
{
    startProxy();
    auto descriptors = [&] {
        const std::filesystem::path fds = "/proc/" + std::to_string(proxy.processId()) + "/fd";
        return std::distance(std::filesystem::directory_iterator(fds), std::filesystem::directory_iterator());
    };
    std::vector<std::string> files;
    for (int i = 0; i < 50; ++i)
        files.push_back(sample(QStringLiteral("page%1.png").arg(i)));
    const long before = descriptors();
    for (int round = 0; round < 4; ++round) {
        const HttpAnswer answer = httpUpload(port, "/local/rest/v1/storage?type=scans", files);
        ASSERT_EQ(answer.status, 200) << answer.body;
        ASSERT_EQ(jsonOf(answer).toArray().size(), 50);
    }
    EXPECT_LT(descriptors() - before, 20);
}

TEST_F(RestEndpoints, KeyPasswordIsCheckedAndNeverLogged)
{
    importUser(QStringLiteral("demo"), QStringLiteral("s3cret-PIN"));
    startProxy();
    const HttpAnswer wrong = post("crypto/setkp", std::string("wrong-PIN-text"));
    EXPECT_EQ(wrong.status, 403);
    EXPECT_NE(wrong.body.find("setKeyPassword(): error #"), std::string::npos) << wrong.body;
    EXPECT_EQ(post("crypto/setkp", std::string("s3cret-PIN")).status, 204);
    httpRequest(port, "GET", "/quit");
    EXPECT_EQ(proxy.waitForExit(), 0);
    EXPECT_FALSE(proxy.standardError().contains(QStringLiteral("s3cret-PIN")));
    EXPECT_FALSE(proxy.standardError().contains(QStringLiteral("wrong-PIN-text")));
}

TEST_F(RestEndpoints, KeysComeFromPkcs12FilesAndRefusedFilesSayWhy)
{
    startProxy();
    const std::filesystem::path pki = QFileInfo(Workstation::pki(QStringLiteral("user.pem"))).path().toStdString();
    const std::string password = "пароль файла";
    const std::string pfx = samples.filePath(QStringLiteral("user512.pfx")).toStdString();
    testsupport::exportGostPkcs12(pki, "user512", "kuznyechik-ctr-acpkm", password, pfx);
    auto importKey = [&](const std::string& name, const std::string& file, const std::string& filePassword) {
        return httpPostForm(port, "/local/rest/v1/crypto/keys/import",
                            {{"name", name}, {"password", filePassword}, {"pin", "PIN нового ключа"}},
                            {{"file", file}});
    };

    const HttpAnswer imported = importKey("Петров", pfx, password);
    ASSERT_EQ(imported.status, 200) << imported.body;
    const QJsonObject key = jsonOf(imported).toObject();
    EXPECT_EQ(key.value("id").toString(), QStringLiteral("Петров"));
    EXPECT_EQ(key.value("name").toString(), QStringLiteral("Петров"));
    EXPECT_TRUE(key.value("certificate")
                    .toObject()
                    .value("subjectName")
                    .toString()
                    .contains(QStringLiteral("Петров Пётр Петрович")))
        << imported.body;
    EXPECT_EQ(jsonOf(get("crypto/keys")).toArray(),
              (QJsonArray{QJsonObject{{"id", QStringLiteral("Петров")}, {"name", QStringLiteral("Петров")}}}));
    // The PIN given with the file unlocks the key.
    QJsonObject settings = jsonOf(get("settings")).toObject().value("settings").toObject();
    settings.insert("crypto", QJsonObject{{"keyName", QStringLiteral("Петров")}});
    ASSERT_EQ(post("settings", settings).status, 204);
    EXPECT_EQ(post("crypto/setkp", std::string("PIN нового ключа")).status, 204);

    const auto other = [&](const std::string& name, const std::vector<std::string>& options) {
        const std::string path = samples.filePath(QString::fromStdString(name)).toStdString();
        testsupport::exportPkcs12(options, password, path);
        return path;
    };
    struct Case
    {
        const char* what;
        std::string name;
        std::string file;
        std::string password;
        int status;
        QString error;
    };
    const Case cases[] = {
        {"wrong password", "other", pfx, "not the password", 400, "wrong-password"},
        {"no PKCS#12", "other", (pki / "user.pem").string(), password, 400, "not-pkcs12"},
        {"certificates only", "other", other("no-key.pfx", {"-nokeys", "-in", (pki / "user.pem").string()}), password,
         400, "no-key"},
        {"an RSA key", "other",
         other("rsa.pfx", {"-inkey", (pki / "rsa.key.pem").string(), "-in", (pki / "rsa.pem").string()}), password, 400,
         "not-gost-key"},
        {"a key without certificate", "other",
         other("no-certificate.pfx", {"-nocerts", "-inkey", (pki / "user.key.pem").string()}), password, 400,
         "no-key-certificate"},
        {"an existing container", "Петров", pfx, password, 409, "container-exists"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HttpAnswer refused = importKey(c.name, c.file, c.password);
        EXPECT_EQ(refused.status, c.status) << refused.body;
        EXPECT_EQ(jsonOf(refused).toObject().value("error").toString(), c.error) << refused.body;
        EXPECT_TRUE(jsonOf(refused).toObject().value("message").toString().contains(QStringLiteral("importKey")))
            << refused.body;
    }
    EXPECT_EQ(jsonOf(get("crypto/keys")).toArray().size(), 1);

    // Forms the endpoint cannot take.
    QFile large(samples.filePath(QStringLiteral("large.pfx")));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize((1 << 20) + 1));
    large.close();
    const HttpAnswer tooLarge = importKey("large", large.fileName().toStdString(), password);
    EXPECT_EQ(tooLarge.status, 400);
    EXPECT_EQ(tooLarge.body, "The part \"file\" of the form is larger than 1048576 bytes");
    const HttpAnswer unnamed =
        httpPostForm(port, "/local/rest/v1/crypto/keys/import", {{"password", password}}, {{"file", pfx}});
    EXPECT_EQ(unnamed.status, 400);
    EXPECT_EQ(unnamed.body, "The key import needs the PKCS#12 file and the container's name");
    const HttpAnswer plain = post("crypto/keys/import", std::string("name=x"));
    EXPECT_EQ(plain.status, 400);
    EXPECT_EQ(plain.body, "The key import takes a multipart/form-data body");
    // After a delimiter line that is no boundary the reader found empty parts at the same place for ever.
    const HttpAnswer endless =
        httpRequest(port, "POST", "/local/rest/v1/crypto/keys/import",
                    "--b\r\nContent-Disposition: form-data; name=\"x\"\r\n\r\n1\r\n--\\\xff\xff\xff\xff",
                    {{"Content-Type", "multipart/form-data; boundary=b"}});
    EXPECT_EQ(endless.status, 400);
    EXPECT_EQ(endless.body, "The key import form has more than 100 parts");

    httpRequest(port, "GET", "/quit");
    EXPECT_EQ(proxy.waitForExit(), 0);
    EXPECT_TRUE(proxy.standardError().contains(QStringLiteral("imported from a PKCS#12 file")));
    EXPECT_FALSE(proxy.standardError().contains(QString::fromStdString(password)));
    EXPECT_FALSE(proxy.standardError().contains(QStringLiteral("PIN нового ключа")));
}

TEST_F(RestEndpoints, TemporaryStorage)
{
    startProxy();
    // A PDF and a PNG as "pdf": a fresh id, then the null id.
    const HttpAnswer pdfs = httpUpload(port, "/local/rest/v1/storage?type=pdf",
                                       {sample(QStringLiteral("sample.pdf")), sample(QStringLiteral("sample.png"))});
    ASSERT_EQ(pdfs.status, 200) << pdfs.body;
    EXPECT_EQ(pdfs.header("Content-Type"), "application/json");
    EXPECT_FALSE(pdfs.has("Pragma"));
    const QJsonArray ids = jsonOf(pdfs).toArray();
    ASSERT_EQ(ids.size(), 2);
    EXPECT_NE(ids[0].toString(), "00000000-0000-0000-0000-000000000000");
    EXPECT_EQ(ids[1].toString(), "00000000-0000-0000-0000-000000000000");

    const HttpAnswer pdf = get("storage/" + ids[0].toString().toStdString());
    EXPECT_EQ(pdf.status, 200);
    EXPECT_EQ(pdf.header("Content-Type"), "application/pdf");
    EXPECT_FALSE(pdf.has("Content-Disposition"));
    EXPECT_EQ(pdf.body.rfind("%PDF-", 0), 0u);

    // The default type takes a ZIP and refuses a PDF; an unknown type is treated as default and logged.
    for (const std::string& target :
         {std::string("/local/rest/v1/storage"), std::string("/local/rest/v1/storage?type=zip")}) {
        const QJsonArray zipIds =
            jsonOf(
                httpUpload(port, target, {sample(QStringLiteral("sample.zip")), sample(QStringLiteral("sample.pdf"))}))
                .toArray();
        ASSERT_EQ(zipIds.size(), 2) << target;
        EXPECT_NE(zipIds[0].toString(), "00000000-0000-0000-0000-000000000000") << target;
        EXPECT_EQ(zipIds[1].toString(), "00000000-0000-0000-0000-000000000000") << target;
    }

    // DELETE, then GET: gone.
    const std::string id = ids[0].toString().toStdString();
    EXPECT_EQ(httpRequest(port, "DELETE", "/local/rest/v1/storage?type=pdf", id).status, 204);
    const HttpAnswer gone = get("storage/" + id + "?type=pdf");
    EXPECT_EQ(gone.status, 404);
    EXPECT_EQ(gone.body, "Not found!");

    // Scans without an id go to the broken-image picture.
    const HttpAnswer broken = get("storage?type=scans");
    EXPECT_EQ(broken.status, 302);
    EXPECT_EQ(broken.header("Location"), "/local/resource/image/broken.png");
    EXPECT_EQ(get("storage/0123abcd-0000-0000-0000-000000000000?type=scans").status, 404);

    // Not multipart: the storage declines and nothing else answers.
    EXPECT_EQ(post("storage", std::string("plain")).status, 404);

    httpRequest(port, "GET", "/quit");
    EXPECT_EQ(proxy.waitForExit(), 0);
    EXPECT_TRUE(proxy.standardError().contains(QStringLiteral("ERROR: Invalid storage type value: zip")));
    EXPECT_TRUE(proxy.standardError().contains(QStringLiteral("WARN : Failed to validate a file: ")));
}
