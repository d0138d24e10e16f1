#include "support/command.h"
#include "support/seeded_documents.h"
#include "support/test_pki.h"

#include <QDate>
#include <QDomDocument>
#include <QFile>

#include <fstream>

#include <gtest/gtest.h>

using testsupport::CommandResult;
using testsupport::TestPki;

namespace {

class SeededDocuments : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        state_ = new std::filesystem::path(TestPki::instance().makeTemporaryDirectory("seeded"));
        ids_ = new testsupport::SeededDocuments(testsupport::seedDocuments(*state_));
    }
    static void TearDownTestSuite()
    {
        delete ids_;
        delete state_;
    }

    static const testsupport::SeededDocuments& ids() { return *ids_; }
    static std::filesystem::path document(const std::string& kind, const std::string& id)
    {
        return *state_ / "documents" / kind / id;
    }

    static CommandResult openssl(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), "openssl");
        return testsupport::runCommand(arguments, TestPki::instance().gostEnvironment());
    }

    static CommandResult verify(const std::filesystem::path& content, const std::filesystem::path& signature)
    {
        return openssl({"cms", "-verify", "-binary", "-inform", "DER", "-in", signature.string(), "-content",
                        content.string(), "-CAfile", TestPki::instance().file("ca-bundle.pem").string(), "-out",
                        "/dev/null"});
    }

    static QString gostDigestBase64(const std::filesystem::path& file)
    {
        const CommandResult result = openssl({"dgst", "-md_gost12_256", "-binary", file.string()});
        EXPECT_EQ(result.exitStatus, 0) << result.errors;
        return QString::fromLatin1(QByteArray::fromStdString(result.output).toBase64());
    }

    static QDomElement envelope(const std::filesystem::path& directory)
    {
        QFile file(QString::fromStdString((directory / "0").string()));
        QDomDocument xml;
        QString error;
        EXPECT_TRUE(file.open(QIODevice::ReadOnly) && xml.setContent(&file, false, &error)) << error.toStdString();
        return xml.documentElement();
    }

private:
    static std::filesystem::path* state_;
    static testsupport::SeededDocuments* ids_;
};

std::filesystem::path* SeededDocuments::state_ = nullptr;
testsupport::SeededDocuments* SeededDocuments::ids_ = nullptr;

QString text(const QDomElement& parent, const QString& name) { return parent.firstChildElement(name).text().trimmed(); }

TEST_F(SeededDocuments, InboxSignaturesVerifyAgainstTheTestPkiAndFailOnChangedContent)
{
    const std::filesystem::path inbox = document("inbox", ids().inbox);
    for (const char* part : {"0", "1", "2"}) {
        const CommandResult result = verify(inbox / part, inbox / (std::string(part) + ".sign"));
        EXPECT_EQ(result.exitStatus, 0) << part << ": " << result.errors;
    }
    const std::filesystem::path changed = TestPki::instance().makeTemporaryDirectory("changed") / "1";
    std::filesystem::copy_file(inbox / "1", changed);
    std::ofstream(changed, std::ios::app) << "x";
    EXPECT_NE(verify(changed, inbox / "1.sign").exitStatus, 0);
}

TEST_F(SeededDocuments, EnvelopesDescribeTheirParts)
{
    const struct
    {
        std::string kind;
        std::string id;
        int attachments;
        bool signedDocument;
    } cases[] = {
        {"drafts", ids().fullDraft, 3, false},
        {"drafts", ids().emptyDraft, 0, false},
        {"inbox", ids().inbox, 2, true},
    };
    const QStringList schemas = {"RAW", "FES_1_0", "FRD_11_01", "VELMAR_PORTAL_1_0", "FCDR_12_02", "FCDR_13_01"};
    for (const auto& c : cases) {
        const std::filesystem::path directory = document(c.kind, c.id);
        const QDomElement root = envelope(directory);
        EXPECT_EQ(root.attribute("version"), QStringLiteral("fes-exchange-1.0")) << c.id;
        EXPECT_EQ(root.attribute("uid").toStdString(), c.id);
        for (const QString& party : {QStringLiteral("sender"), QStringLiteral("recipient")}) {
            const QDomElement element = root.firstChildElement(party);
            EXPECT_TRUE(QStringList({"REG", "ABON"}).contains(text(element, "type_party"))) << c.id;
            EXPECT_FALSE(text(element, "name").isEmpty()) << c.id;
        }
        EXPECT_EQ(text(root, "signed"), c.signedDocument ? QStringLiteral("true") : QStringLiteral("false")) << c.id;
        EXPECT_FALSE(text(root, "doc_num").isEmpty()) << c.id;
        EXPECT_TRUE(QDate::fromString(text(root, "doc_date"), Qt::ISODate).isValid()) << c.id;
        EXPECT_TRUE(schemas.contains(text(root, "msg_schema_type"))) << c.id;

        const QDomNodeList attachments = root.firstChildElement("attachments").elementsByTagName("attachment");
        ASSERT_EQ(attachments.size(), c.attachments) << c.id;
        for (int i = 0; i < attachments.size(); ++i) {
            const QDomElement attachment = attachments.at(i).toElement();
            const std::string index = std::to_string(i + 1);
            EXPECT_EQ(attachment.attribute("index").toStdString(), index) << c.id;
            const std::filesystem::path part = directory / index;
            ASSERT_TRUE(std::filesystem::exists(part)) << c.id << " " << index;
            EXPECT_EQ(text(attachment, "data_length").toULongLong(), std::filesystem::file_size(part))
                << c.id << " " << index;
            EXPECT_FALSE(text(attachment, "description").isEmpty()) << c.id << " " << index;
            EXPECT_FALSE(text(attachment, "type").isEmpty()) << c.id << " " << index;
            EXPECT_FALSE(text(attachment, "file_name").isEmpty()) << c.id << " " << index;
            if (c.signedDocument)
                EXPECT_EQ(text(attachment, "hash"), gostDigestBase64(part)) << c.id << " " << index;
            else
                EXPECT_TRUE(attachment.firstChildElement("hash").isNull()) << c.id << " " << index;
            EXPECT_EQ(std::filesystem::exists(directory / (index + ".sign")), c.signedDocument) << c.id << " " << index;
        }
        EXPECT_FALSE(std::filesystem::exists(directory / std::to_string(c.attachments + 1))) << c.id;
        EXPECT_EQ(std::filesystem::exists(directory / "0.sign"), c.signedDocument) << c.id;
    }
}

} // namespace
