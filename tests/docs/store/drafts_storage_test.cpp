#include "docs/fixtures/store_fixture.h"
#include "support/exception_message.h"
#include "support/file_size_limit.h"

#include "interfaces/drafts_storage.h"
#include "portal/rest_error.h"

#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCodec>

using namespace tessel::docs;

namespace {

const StorageType drafts = StorageType::Drafts;

// A draft with a body and one attachment on disk, and signature files to store for them.
class Drafts : public StoreTest
{
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        put(drafts, "1", "body");
        put(drafts, "2", "attachment");
        for (int i = 0; i < 3; ++i) {
            const QString path = m_signatures.filePath(QStringLiteral("sign%1").arg(i));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("signature " + QByteArray::number(i));
            m_signs.append(QFileInfo(path));
        }
    }

    void putEnvelope(const QString& xml) { put(drafts, "0", xml.toUtf8()); }

    QDomElement envelopeRoot()
    {
        QFile file(filePath(drafts, "0"));
        file.open(QIODevice::ReadOnly);
        EXPECT_TRUE(m_envelope.setContent(&file));
        return m_envelope.documentElement();
    }

    QStringList attachmentChildNames(int n)
    {
        QStringList names;
        QDomElement attachment = envelopeRoot().firstChildElement("attachments").firstChildElement("attachment");
        for (int i = 0; i < n; ++i)
            attachment = attachment.nextSiblingElement("attachment");
        for (QDomElement child = attachment.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
            names.append(child.tagName());
        return names;
    }

    QStringList hashTexts()
    {
        QStringList texts;
        for (QDomElement attachment = envelopeRoot().firstChildElement("attachments").firstChildElement("attachment");
             !attachment.isNull(); attachment = attachment.nextSiblingElement("attachment"))
            texts.append(attachment.firstChildElement("hash").text());
        return texts;
    }

    DraftsStorage* store() { return DraftsStorage::instance(); }

    QTemporaryDir m_signatures;
    QList<QFileInfo> m_signs;
    QDomDocument m_envelope;
};

const QList<QByteArray> twoHashes{QByteArray::fromHex("0a0b0c"), QByteArray::fromHex("ff00")};

} // namespace

TEST_F(Drafts, SigningStoresTheSignaturesAndMarksTheEnvelope)
{
    // No "type" on the second attachment, and an "attachment" outside "attachments" that is no part.
    QString xml = envelopeXml({{1, false}, {2, false}}, false);
    xml.replace("<description>part 2</description><type>application/pdf</type>", "<description>part 2</description>");
    xml.replace("<doc_num>1</doc_num>",
                "<doc_num>1</doc_num><doc_link uid=\"x\"><out_doc_num>1</out_doc_num>"
                "<attachment index=\"9\"/></doc_link>");
    putEnvelope(xml);

    store()->putAttachmentsSigns(m_id, m_signs.mid(0, 2), twoHashes);
    EXPECT_EQ(contents(drafts, "1.sign"), "signature 0");
    EXPECT_EQ(contents(drafts, "2.sign"), "signature 1");
    EXPECT_EQ(envelopeRoot().firstChildElement("signed").text(), "true");
    EXPECT_EQ(hashTexts(), QStringList({"CgsM", "/wA="}));
    EXPECT_EQ(attachmentChildNames(0), QStringList({"description", "type", "hash", "data_length"}));
    EXPECT_EQ(attachmentChildNames(1), QStringList({"description", "data_length", "hash"}));
    EXPECT_TRUE(
        envelopeRoot().firstChildElement("doc_link").firstChildElement("attachment").firstChildElement("hash").isNull());

    // Signing again replaces the hashes; nothing is added twice.
    store()->putAttachmentsSigns(m_id, m_signs.mid(1, 2), {"one", "two"});
    EXPECT_EQ(hashTexts(), QStringList({"b25l", "dHdv"}));
    EXPECT_EQ(attachmentChildNames(0), QStringList({"description", "type", "hash", "data_length"}));
    EXPECT_EQ(contents(drafts, "2.sign"), "signature 2");
}

TEST_F(Drafts, EmptySignedAndHashElementsGetTheirTexts)
{
    QString xml = envelopeXml({{1, true}, {2, false}}, false);
    xml.replace("<signed>false</signed>", "<signed/>");
    xml.replace("<hash>AAE=</hash>", "<hash><!-- none yet --></hash>");
    putEnvelope(xml);
    store()->putAttachmentsSigns(m_id, m_signs.mid(0, 2), twoHashes);
    const auto envelope = store()->readDocumentTransfer(m_id);
    EXPECT_TRUE(envelope.signed_);
    EXPECT_EQ(envelope.attachments[0].hash, twoHashes[0]);
}

TEST_F(Drafts, TheRewrittenEnvelopeKeepsItsText)
{
    QString xml = envelopeXml({{1, false}, {2, false}}, false);
    xml.replace("encoding=\"UTF-8\"", "encoding=\"windows-1251\"");
    xml.replace("<name>S</name>", QString::fromUtf8("<name>Отправитель</name>"));
    put(drafts, "0", QTextCodec::codecForName("windows-1251")->fromUnicode(xml));
    store()->putAttachmentsSigns(m_id, m_signs.mid(0, 2), twoHashes);
    EXPECT_EQ(store()->readDocumentTransfer(m_id).sender.name, QString::fromUtf8("Отправитель"));
    EXPECT_TRUE(contents(drafts, "0").startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_TRUE(contents(drafts, "0").contains(QString::fromUtf8("Отправитель").toUtf8()));
}

TEST_F(Drafts, SigningThatCannotBeDoneWritesNothing)
{
    const QString twoAttachments = envelopeXml({{1, false}, {2, false}}, false);
    QString noSigned = twoAttachments;
    noSigned.replace("<signed>false</signed>", "");
    const QString envelopePath = filePath(drafts, "0");
    struct Case
    {
        const char* what;
        QString envelope; // empty: no envelope on disk
        int signs;
        int hashes;
        bool withoutPart2;
        std::string message;
    };
    const Case cases[] = {
        {"more signs than hashes", twoAttachments, 3, 2, false,
         "putAttachmentsSigns(): Mismatch in number of signs (3) and number of hashes (2)"},
        {"a part is missing", twoAttachments, 2, 2, true,
         "putAttachmentsSigns(): Attachment " + m_idText.toStdString() + ".2 doesn't exists"},
        {"more attachments than hashes", envelopeXml({{1, false}, {2, false}, {3, false}}, false), 2, 2, false,
         QStringLiteral("Error in envelope xml from \"%1\": Mismatched attachments count: in envelope 3, in storage 2")
             .arg(envelopePath)
             .toStdString()},
        {"no signed element", noSigned, 2, 2, false,
         QStringLiteral("Error in envelope xml from \"%1\": No signed element").arg(envelopePath).toStdString()},
    };
    for (const Case& c : cases) {
        if (c.withoutPart2)
            QFile::remove(filePath(drafts, "2"));
        else
            put(drafts, "2", "attachment");
        putEnvelope(c.envelope);
        QList<QByteArray> hashes = twoHashes;
        if (c.hashes == 1)
            hashes.removeLast();
        EXPECT_EQ(messageOf([&] { store()->putAttachmentsSigns(m_id, m_signs.mid(0, c.signs), hashes); }), c.message)
            << c.what;
        EXPECT_EQ(contents(drafts, "0"), c.envelope.toUtf8()) << c.what;
        EXPECT_FALSE(exists(drafts, "1.sign")) << c.what;
        EXPECT_FALSE(exists(drafts, "2.sign")) << c.what;
    }
}

TEST_F(Drafts, UnreadableEnvelopesAreReportedAsSuch)
{
    const QString path = filePath(drafts, "0");
    EXPECT_EQ(QString::fromStdString(messageOf([&] {
                  store()->putAttachmentsSigns(m_id, m_signs.mid(0, 2), twoHashes);
              })).section(": ", 0, 0),
              QStringLiteral("Error opening envelope \"%1\" for modification").arg(path));
    putEnvelope("<message><signed>");
    EXPECT_EQ(QString::fromStdString(messageOf([&] {
                  store()->putAttachmentsSigns(m_id, m_signs.mid(0, 2), twoHashes);
              })).section(": ", 0, 0),
              QStringLiteral("Error reading envelope xml from \"%1\"").arg(path));
    EXPECT_EQ(contents(drafts, "0"), "<message><signed>");
}

TEST_F(Drafts, AnEnvelopeThatCannotBeWrittenStaysWhole)
{
    // Long enough that its rewrite runs into a small limit on file sizes.
    QString xml = envelopeXml({{1, false}, {2, false}}, false);
    xml.replace("<description>part 1</description>", "<description>" + QString(8192, 'x') + "</description>");
    putEnvelope(xml);

    const std::string message = [&] {
        const FileSizeLimit limit(4096);
        return messageOf([&] { store()->putAttachmentsSigns(m_id, m_signs.mid(0, 2), twoHashes); });
    }();

    EXPECT_EQ(QString::fromStdString(message).section(": ", 0, 0),
              QStringLiteral("Error writing envelope \"%1\"").arg(filePath(drafts, "0")));
    EXPECT_EQ(contents(drafts, "0"), xml.toUtf8());
    EXPECT_EQ(filesOf(drafts), QStringList({"0", "1", "1.sign", "2", "2.sign"})) << "a temporary file is left";
}

TEST_F(Drafts, PartsAreReplacedMovedAndRemovedWithTheirSignatures)
{
    put(drafts, "2.sign", "signature of 2");
    store()->movePart(m_id, 2, 5);
    EXPECT_EQ(filesOf(drafts), QStringList({"1", "5", "5.sign"}));
    EXPECT_EQ(contents(drafts, "5"), "attachment");
    EXPECT_EQ(contents(drafts, "5.sign"), "signature of 2");

    // A part without a signature takes the destination's away: it belongs to other bytes.
    put(drafts, "3", "third");
    put(drafts, "4.sign", "old signature");
    store()->movePart(m_id, 3, 4);
    EXPECT_EQ(contents(drafts, "4"), "third");
    EXPECT_FALSE(exists(drafts, "4.sign"));

    // Onto itself: the part stays.
    store()->movePart(m_id, 5, 5);
    EXPECT_EQ(contents(drafts, "5"), "attachment");
    EXPECT_EQ(contents(drafts, "5.sign"), "signature of 2");

    EXPECT_THROW(store()->movePart(m_id, 7, 8), tessel::utils::exception);
    EXPECT_FALSE(exists(drafts, "8"));

    // putPart replaces the part and keeps its signature; the source goes only when asked to.
    store()->putPart(m_id, 5, m_signs[0], false);
    EXPECT_EQ(contents(drafts, "5"), "signature 0");
    EXPECT_EQ(contents(drafts, "5.sign"), "signature of 2");
    EXPECT_TRUE(m_signs[0].exists());
    store()->putPart(m_id, 6, m_signs[1], true);
    EXPECT_EQ(contents(drafts, "6"), "signature 1");
    EXPECT_FALSE(QFileInfo::exists(m_signs[1].filePath()));

    store()->putEnvelopeSign(m_id, m_signs[2]);
    EXPECT_EQ(contents(drafts, "0.sign"), "signature 2");

    store()->removePart(m_id, 5);
    store()->removePart(m_id, 9);
    EXPECT_EQ(filesOf(drafts), QStringList({"0.sign", "1", "4", "6"}));
}

TEST_F(Drafts, RemovingADraftTakesWhatItsEnvelopeLists)
{
    store()->removeDocument(m_id);
    EXPECT_EQ(filesOf(drafts), QStringList({"1", "2"})) << "without an envelope nothing goes";

    putEnvelope(envelopeXml({{1, true}, {2, false}}, true));
    for (const char* name : {"0.sign", "1.sign", "3", "3.sign"})
        put(drafts, name, "x");
    store()->removeDocument(m_id);
    EXPECT_EQ(filesOf(drafts), QStringList({"3", "3.sign"}));
}

TEST_F(Drafts, PartsAreCountedFetchingAMissingEnvelope)
{
    struct Case
    {
        const char* what;
        QStringList files;
        qint64 count;
    };
    const Case cases[] = {
        {"no body", {"0", "2", "3"}, 4},
        {"only the envelope", {"0"}, 2},
        {"body and attachment", {"0", "1", "2"}, 3},
        {"a gap after the body", {"0", "1", "3"}, 2},
    };
    for (const Case& c : cases) {
        for (const QString& name : filesOf(drafts))
            QFile::remove(filePath(drafts, name));
        for (const QString& name : c.files)
            put(drafts, name, "x");
        EXPECT_EQ(store()->partsCount(m_session, m_id), c.count) << c.what;
    }
    EXPECT_TRUE(m_portal.downloads().isEmpty());

    QFile::remove(filePath(drafts, "0"));
    serveDocument(drafts, {{1, false}, {2, false}, {3, false}}, false, {{"1", "b"}, {"2", "a"}, {"3", "c"}});
    EXPECT_EQ(store()->partsCount(m_session, m_id), 4);
    EXPECT_EQ(m_portal.downloads().size(), 2);
}

TEST_F(Drafts, ADraftThePortalLacksIsAnError)
{
    QFile::remove(filePath(drafts, "1"));
    QFile::remove(filePath(drafts, "2"));
    EXPECT_THROW(store()->partsCount(m_session, m_id), tessel::RestError);
    EXPECT_THROW(store()->attachmentsCount(m_session, m_id), tessel::RestError);
    EXPECT_TRUE(filesOf(drafts).isEmpty());
}

TEST_F(Drafts, AttachmentsAreCountedFromTheEnvelope)
{
    serveDocument(drafts, {{1, false}, {2, false}}, false, {{"1", "b"}, {"2", "a"}});
    EXPECT_EQ(store()->attachmentsCount(m_session, m_id), 2);
    EXPECT_EQ(m_portal.downloads().size(), 2);
    putEnvelope(envelopeXml({{1, false}, {2, false}, {3, false}}, false));
    EXPECT_EQ(store()->attachmentsCount(m_session, m_id), 3);
    EXPECT_EQ(m_portal.downloads().size(), 2) << "an envelope on disk is not fetched again";
}

TEST_F(Drafts, SignaturesAreSentOnlyWhenAllAreThere)
{
    putEnvelope(envelopeXml({{1, true}, {2, true}}, true));
    put(drafts, "0.sign", "e");
    put(drafts, "2.sign", "a");
    EXPECT_EQ(
        messageOf([&] { store()->sendDraftSigns(m_session, m_id).get(); }),
        QStringLiteral("sendDraftSigns(): Can't find sign file \"%1\"").arg(filePath(drafts, "1.sign")).toStdString());
    EXPECT_TRUE(m_portal.signsUploads().isEmpty());

    put(drafts, "1.sign", "b");
    store()->sendDraftSigns(m_session, m_id).get();
    ASSERT_EQ(m_portal.signsUploads().size(), 1);
    const FakePortal::SignsUpload upload = m_portal.signsUploads().first();
    EXPECT_EQ(upload.sessionId, m_session);
    EXPECT_EQ(upload.draftId, m_id);
    EXPECT_EQ(QFileInfo(upload.envelope).absoluteFilePath(), QFileInfo(filePath(drafts, "0")).absoluteFilePath());
    QStringList signs;
    for (const QString& sign : upload.signs)
        signs.append(QFileInfo(sign).fileName());
    EXPECT_EQ(signs, QStringList({m_idText + ".0.sign", m_idText + ".1.sign", m_idText + ".2.sign"}));

    store()->sendDraft(m_session, m_id).get();
    EXPECT_EQ(m_portal.sentDrafts(), QList<QUuid>({m_id}));
}

TEST_F(Drafts, AMissingEnvelopeFailsInReadDocument)
{
    const QString message = QString::fromStdString(messageOf([&] { store()->readDocumentTransfer(m_id); }));
    EXPECT_TRUE(
        message.startsWith(QStringLiteral("xml::readDocument(): Error opening \"%1\": ").arg(filePath(drafts, "0"))))
        << message.toStdString();
}
