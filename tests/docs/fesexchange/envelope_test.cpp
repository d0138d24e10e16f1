#include "docs/fesexchange/from_xml.h"
#include "docs/fesexchange/xml_helpers.h"
#include "support/exception_message.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace tessel::docs;
using namespace tessel::docs::fesexchange;

namespace {

const QUuid envelopeUid(QStringLiteral("{0f8fad5b-d9cb-469f-a165-70867728950e}"));
const QUuid linkUid(QStringLiteral("{7c9e6679-7425-40de-944b-e07fc1f90ae7}"));

// Every element the format knows, the optional ones included.
const QString fullEnvelope = QString::fromUtf8(R"(<?xml version="1.0" encoding="UTF-8"?>
<message version="fes-exchange-1.0" uid="{0F8FAD5B-D9CB-469F-A165-70867728950E}">
 <sender><id>3000000001</id><type_party>ABON</type_party><name>Отправитель</name></sender>
 <recipient><type_party>REG</type_party><name>Registrar</name></recipient>
 <attachments>
  <attachment index="1">
   <description>Body</description><file_name>body.pdf</file_name><type>application/pdf</type>
   <hash>AAEC/w==</hash><data_length>5000000000</data_length>
  </attachment>
  <note>not an attachment</note>
  <attachment index="2"><description>Scan</description><type>application/x-velmar-scan</type><data_length>12</data_length></attachment>
 </attachments>
 <signed>true</signed>
 <doc_num>17/A</doc_num>
 <doc_date>2024-02-29</doc_date>
 <doc_link uid="7c9e6679-7425-40de-944b-e07fc1f90ae7">
  <out_doc_num>5</out_doc_num><out_doc_date>2024-01-10</out_doc_date><in_doc_num>7</in_doc_num><in_reg_date>2024-01-11</in_reg_date>
 </doc_link>
 <ta_info><doc_num>TA-1</doc_num><doc_date>2024-03-01</doc_date><doc_type_code>X1</doc_type_code><doc_name>Report</doc_name></ta_info>
 <msg_schema_type>VELMAR_PORTAL_1_0</msg_schema_type>
 <msg_tag>tag</msg_tag>
 <msg_subtype><id>12</id><name>Subtype</name></msg_subtype>
 <emitent><id>34</id><name>Issuer</name></emitent>
</message>
)");

// Only what is required.
const QString minimalEnvelope = QStringLiteral(R"(<anything version="v" uid="0f8fad5b-d9cb-469f-a165-70867728950e">
 <sender><type_party>REG</type_party><name>S</name></sender>
 <recipient><id/><type_party>ABON</type_party><name>R</name></recipient>
 <signed>false</signed>
 <doc_num>1</doc_num>
 <doc_date>2024-03-01T10:20:30</doc_date>
 <msg_schema_type>RAW</msg_schema_type>
</anything>)");

class Envelope : public ::testing::Test
{
protected:
    QString write(const QString& xml)
    {
        const QString path = m_dir.filePath(QStringLiteral("envelope.0"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(xml.toUtf8());
        return path;
    }

    DocumentTransfer read(const QString& xml) { return readDocumentTransfer(write(xml)); }

    std::string errorOf(const QString& xml)
    {
        return messageOf([&] { read(xml); });
    }

    // The root element of a small document, for the helpers alone.
    QDomElement element(const QString& xml)
    {
        m_document = xml::readDocument(write(xml));
        return m_document.documentElement();
    }

    QTemporaryDir m_dir;
    QDomDocument m_document;
};

} // namespace

TEST_F(Envelope, EveryFieldIsRead)
{
    const DocumentTransfer doc = read(fullEnvelope);
    EXPECT_EQ(doc.version, "fes-exchange-1.0");
    EXPECT_EQ(doc.uid, envelopeUid);

    EXPECT_EQ(doc.sender.id, 3000000001LL);
    EXPECT_EQ(doc.sender.type_party, PartyTypeEt::ABON);
    EXPECT_EQ(doc.sender.name, QString::fromUtf8("Отправитель"));
    EXPECT_FALSE(doc.recipient.id.has_value());
    EXPECT_EQ(doc.recipient.type_party, PartyTypeEt::REG);
    EXPECT_EQ(doc.recipient.name, "Registrar");

    ASSERT_EQ(doc.attachments.size(), 2);
    const AttachmentT& body = doc.attachments[0];
    EXPECT_EQ(body.index, 1u);
    EXPECT_EQ(body.description, "Body");
    EXPECT_EQ(body.file_name, QStringLiteral("body.pdf"));
    EXPECT_EQ(body.type, "application/pdf");
    EXPECT_EQ(body.hash, QByteArray::fromHex("000102ff"));
    EXPECT_EQ(body.data_length, 5000000000ULL);
    const AttachmentT& scan = doc.attachments[1];
    EXPECT_EQ(scan.index, 2u);
    EXPECT_FALSE(scan.file_name.has_value());
    EXPECT_FALSE(scan.hash.has_value());
    EXPECT_EQ(scan.type, "application/x-velmar-scan");
    EXPECT_EQ(scan.data_length, 12u);
    EXPECT_TRUE(doc.signed_);

    EXPECT_EQ(doc.doc_num, "17/A");
    EXPECT_EQ(doc.doc_date, QDate(2024, 2, 29));
    ASSERT_TRUE(doc.doc_link.has_value());
    EXPECT_EQ(doc.doc_link->uid, linkUid);
    EXPECT_EQ(doc.doc_link->out_doc_num, "5");
    EXPECT_EQ(doc.doc_link->out_doc_date, QDate(2024, 1, 10));
    EXPECT_EQ(doc.doc_link->in_doc_num, QStringLiteral("7"));
    EXPECT_EQ(doc.doc_link->in_reg_date, QDate(2024, 1, 11));

    ASSERT_TRUE(doc.ta_info.has_value());
    EXPECT_EQ(doc.ta_info->doc_num, "TA-1");
    EXPECT_EQ(doc.ta_info->doc_date, QDate(2024, 3, 1));
    EXPECT_EQ(doc.ta_info->doc_type_code, QStringLiteral("X1"));
    EXPECT_EQ(doc.ta_info->doc_name, QStringLiteral("Report"));
    EXPECT_EQ(doc.msg_schema_type, MsgSchemaEt::VELMAR_PORTAL_1_0);
    EXPECT_EQ(doc.msg_tag, QStringLiteral("tag"));
    ASSERT_TRUE(doc.msg_subtype.has_value());
    EXPECT_EQ(doc.msg_subtype->id, 12u);
    EXPECT_EQ(doc.msg_subtype->name, "Subtype");
    ASSERT_TRUE(doc.emitent.has_value());
    EXPECT_EQ(doc.emitent->id, 34u);
    EXPECT_EQ(doc.emitent->name, "Issuer");
}

TEST_F(Envelope, OptionalPartsMayBeMissing)
{
    const DocumentTransfer doc = read(minimalEnvelope);
    EXPECT_EQ(doc.version, "v");
    EXPECT_EQ(doc.uid, envelopeUid);
    EXPECT_FALSE(doc.sender.id.has_value());
    EXPECT_EQ(doc.recipient.id, 0); // an empty "id" is there, and no number
    EXPECT_TRUE(doc.attachments.isEmpty());
    EXPECT_FALSE(doc.signed_);
    EXPECT_EQ(doc.doc_date, QDate(2024, 3, 1)); // the time of a date-time is ignored
    EXPECT_FALSE(doc.doc_link.has_value());
    EXPECT_FALSE(doc.ta_info.has_value());
    EXPECT_EQ(doc.msg_schema_type, MsgSchemaEt::RAW);
    EXPECT_FALSE(doc.msg_tag.has_value());
    EXPECT_FALSE(doc.msg_subtype.has_value());
    EXPECT_FALSE(doc.emitent.has_value());

    QString withoutTaDate = fullEnvelope;
    withoutTaDate.replace(QStringLiteral("<doc_date>2024-03-01</doc_date>"), QString());
    const DocumentTransfer noTaDate = read(withoutTaDate);
    ASSERT_TRUE(noTaDate.ta_info.has_value());
    EXPECT_TRUE(noTaDate.ta_info->doc_date.isNull());
}

TEST_F(Envelope, MalformedEnvelopesFailNamingWhatIsWrong)
{
    struct Case
    {
        const char* what;
        const char* from;
        const char* to;
        const char* message;
    };
    const Case cases[] = {
        {"no signed", "<signed>true</signed>", "", R"(xml::getChild: Can't find child element "signed" in "message")"},
        {"lower-case schema", "VELMAR_PORTAL_1_0", "raw", "Unknown MsgSchemaEt: raw"},
        {"unknown party type", "ABON", "abon", "Unknown PartyTypeEt: abon"},
        {"30 February", "2024-02-29", "2024-02-30", R"(xml::parseDate(): Error in date format: "2024-02-30")"},
        {"no doc_date", "<doc_date>2024-02-29</doc_date>", "",
         R"(xml::getChild: Can't find child element "doc_date" in "message")"},
        {"bad optional date", "<out_doc_date>2024-01-10</out_doc_date>", "<out_doc_date>10.01.2024</out_doc_date>",
         R"(xml::parseDate(): Error in date format: "10.01.2024")"},
        {"attachment without index", R"(<attachment index="2">)", "<attachment>",
         R"(xml::getAttr: Can't find attribute "index" in "attachment")"},
        {"no version", R"(version="fes-exchange-1.0")", "",
         R"(xml::getAttr: Can't find attribute "version" in "message")"},
        {"no uid on the link", R"(uid="7c9e6679-7425-40de-944b-e07fc1f90ae7")", "",
         R"(xml::getAttr: Can't find attribute "uid" in "doc_link")"},
        {"attachment without type", "<type>application/pdf</type>", "",
         R"(xml::getChild: Can't find child element "type" in "attachment")"},
        {"emitent without name", "<name>Issuer</name>", "",
         R"(xml::getChild: Can't find child element "name" in "emitent")"},
        {"sender without type", "<type_party>ABON</type_party>", "",
         R"(xml::getChild: Can't find child element "type_party" in "sender")"},
    };
    for (const Case& c : cases) {
        QString xml = fullEnvelope;
        ASSERT_TRUE(xml.contains(QString::fromUtf8(c.from))) << c.what;
        xml.replace(QString::fromUtf8(c.from), QString::fromUtf8(c.to));
        EXPECT_EQ(errorOf(xml), c.message) << c.what;
    }
}

TEST_F(Envelope, SignedIsTrueOnlyForTheTextTrue)
{
    const std::pair<const char*, bool> cases[] = {
        {"true", true}, {" \n true\t", true}, {"True", false}, {"1", false}, {"", false}, {"<![CDATA[true]]>", true},
    };
    for (const auto& [text, expected] : cases) {
        QString xml = fullEnvelope;
        xml.replace(QStringLiteral("<signed>true</signed>"),
                    QStringLiteral("<signed>%1</signed>").arg(QLatin1String(text)));
        EXPECT_EQ(read(xml).signed_, expected) << text;
    }
}

TEST_F(Envelope, LenientValuesAreNoErrors)
{
    QString xml = fullEnvelope;
    xml.replace(QStringLiteral("uid=\"{0F8FAD5B-D9CB-469F-A165-70867728950E}\""), QStringLiteral("uid=\"not-a-uuid\""));
    xml.replace(QStringLiteral("<data_length>12</data_length>"), QStringLiteral("<data_length>twelve</data_length>"));
    xml.replace(QStringLiteral("<id>12</id>"), QStringLiteral("<id>-12</id>"));
    xml.replace(QStringLiteral("AAEC/w=="), QStringLiteral("AA*EC /w=="));
    xml.replace(QStringLiteral("<attachment index=\"2\">"), QStringLiteral("<attachment index=\"x\">"));
    const DocumentTransfer doc = read(xml);
    EXPECT_TRUE(doc.uid.isNull());
    EXPECT_EQ(doc.attachments[1].data_length, 0u);
    EXPECT_EQ(doc.attachments[1].index, 0u);
    EXPECT_EQ(doc.msg_subtype->id, 0u);
    EXPECT_EQ(doc.attachments[0].hash, QByteArray::fromHex("000102ff"));
}

TEST_F(Envelope, FirstOccurrenceOfARepeatedNameCounts)
{
    QString xml = fullEnvelope;
    xml.replace(QStringLiteral("<name>Registrar</name>"), QStringLiteral("<name>First</name><name>Second</name>"));
    xml.replace(QStringLiteral("<msg_tag>tag</msg_tag>"), QStringLiteral("<msg_tag>a</msg_tag><msg_tag>b</msg_tag>"));
    const DocumentTransfer doc = read(xml);
    EXPECT_EQ(doc.recipient.name, "First");
    EXPECT_EQ(doc.msg_tag, QStringLiteral("a"));
}

TEST_F(Envelope, UnreadableFilesFailInReadDocument)
{
    const QString missing = m_dir.filePath(QStringLiteral("missing.0"));
    const std::string absent = messageOf([&] { readDocumentTransfer(missing); });
    EXPECT_TRUE(QString::fromStdString(absent).startsWith(
        QStringLiteral("xml::readDocument(): Error opening \"%1\": ").arg(missing)))
        << absent;
    const std::string broken = errorOf(QStringLiteral("<message version=\"1\"><sender></message>"));
    EXPECT_TRUE(
        QString::fromStdString(broken).startsWith(QStringLiteral("xml::readDocument(): Error parsing xml \"%1\": ")
                                                      .arg(m_dir.filePath(QStringLiteral("envelope.0")))))
        << broken;
}

TEST_F(Envelope, TextIsTheElementsOwnTrimmedTextPieces)
{
    QDomElement root = element(QStringLiteral(
        "<r a=\" spaced \"><split> one <!-- note --> two </split><outer>own<inner>nested</inner> text</outer>"
        "<cdata> <![CDATA[ raw ]]> </cdata><empty/></r>"));
    EXPECT_EQ(xml::getText(xml::getChild(root, QStringLiteral("split"), true)), "onetwo");
    EXPECT_EQ(xml::getText(xml::getChild(root, QStringLiteral("outer"), true)), "owntext");
    EXPECT_EQ(xml::getText(xml::getChild(root, QStringLiteral("cdata"), true)), "raw");
    EXPECT_EQ(xml::getText(root.attributeNode(QStringLiteral("a"))), " spaced ");
    EXPECT_EQ(xml::getOptText(root, QStringLiteral("empty")), QString());
    EXPECT_FALSE(xml::getOptText(root, QStringLiteral("absent")).has_value());
    EXPECT_TRUE(xml::getChild(root, QStringLiteral("absent"), false).isNull());

    const QDomNode comment = xml::getChild(root, QStringLiteral("split"), true).childNodes().at(1);
    ASSERT_TRUE(comment.isComment());
    EXPECT_EQ(messageOf([&] { xml::getText(comment); }), "xml::getText: Can't get text for node type 8");
}

TEST(EnvelopeEnumerations, EveryNameGivesItsValue)
{
    const char* const schemas[] = {"RAW", "FES_1_0", "FRD_11_01", "VELMAR_PORTAL_1_0", "FCDR_12_02", "FCDR_13_01"};
    for (int value = 0; value < 6; ++value)
        EXPECT_EQ(static_cast<int>(parseMsgSchemaEt(QLatin1String(schemas[value]))), value) << schemas[value];
    EXPECT_EQ(parsePartyTypeEt(QStringLiteral("REG")), PartyTypeEt::REG);
    EXPECT_EQ(parsePartyTypeEt(QStringLiteral("ABON")), PartyTypeEt::ABON);
    const char* const states[] = {"RECEIVED", "REGISTERED", "REGISTRATION_REJECTED", "PROCESSED",
                                  "REFUSED",  "RECALLED",   "RECEIVE_ERROR",         "ISSUANCE"};
    for (int value = 0; value < 8; ++value)
        EXPECT_EQ(static_cast<int>(parseDocStateEt(QLatin1String(states[value]))), value) << states[value];
    EXPECT_THROW(parseDocStateEt(QStringLiteral(" RECEIVED")), tessel::utils::exception);
    EXPECT_THROW(parseMsgSchemaEt(QString()), tessel::utils::exception);
}
