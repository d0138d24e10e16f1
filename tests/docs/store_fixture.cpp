#include "store_fixture.h"

#include "docs/storage.h"
#include "tessel/log_record.h"

#include <QDir>
#include <QFile>

using tessel::docs::StorageType;

QString envelopeXml(const QVector<TestAttachment>& attachments, bool isSigned)
{
    QString items;
    for (const TestAttachment& attachment : attachments) {
        items += QStringLiteral("<attachment index=\"%1\"><description>part %1</description><type>application/pdf</type>"
                                "%2<data_length>4</data_length></attachment>")
                     .arg(attachment.index)
                     .arg(attachment.hashed ? QStringLiteral("<hash>AAE=</hash>") : QString());
    }
    return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<message version="fes-exchange-1.0" uid="0f8fad5b-d9cb-469f-a165-70867728950e">
 <sender><type_party>ABON</type_party><name>S</name></sender>
 <recipient><type_party>REG</type_party><name>R</name></recipient>
 <attachments>%1</attachments>
 <signed>%2</signed>
 <doc_num>1</doc_num>
 <doc_date>2024-03-01</doc_date>
 <msg_schema_type>FES_1_0</msg_schema_type>
</message>
)")
        .arg(items, isSigned ? QStringLiteral("true") : QStringLiteral("false"));
}

void StoreTest::SetUp()
{
    // The log device is a QObject: made on a pool thread, it would keep that thread's Qt data
    // past the thread's end. At start-up the proxy makes it on the main thread; so do the tests.
    LOG_DEBUG << "Stores under " << m_root.path();
    ASSERT_TRUE(m_root.isValid());
    tessel::docs::Storage::reinit(m_root.path());
    m_portal.install();
}

QString StoreTest::filePath(StorageType kind, const QString& name) const
{
    return m_root.filePath(tessel::docs::storageTypeWord(kind) + QLatin1Char('/') + m_idText + QLatin1Char('.') + name);
}

void StoreTest::put(StorageType kind, const QString& name, const QByteArray& content)
{
    QFile file(filePath(kind, name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.fileName().toStdString();
    file.write(content);
}

QByteArray StoreTest::contents(StorageType kind, const QString& name) const
{
    QFile file(filePath(kind, name));
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

bool StoreTest::exists(StorageType kind, const QString& name) const
{
    return QFileInfo::exists(filePath(kind, name));
}

QStringList StoreTest::filesOf(StorageType kind) const
{
    QStringList names;
    const QDir directory(m_root.filePath(tessel::docs::storageTypeWord(kind)));
    for (const QString& name : directory.entryList({m_idText + QStringLiteral(".*")}, QDir::Files, QDir::Name))
        names.append(name.mid(m_idText.size() + 1));
    return names;
}

QString StoreTest::storageUrl(StorageType kind) const
{
    return QStringLiteral("/storage/") + tessel::docs::storageTypeWord(kind) + QLatin1Char('/') + m_idText;
}

QString StoreTest::serveDocument(StorageType kind, const QVector<TestAttachment>& attachments, bool isSigned,
                                 const QMap<QString, QByteArray>& entries)
{
    const QString envelope = envelopeXml(attachments, isSigned);
    QMap<QString, QByteArray> everything = entries;
    everything.insert(QStringLiteral("0"), envelope.toUtf8());
    m_portal.serve(storageUrl(kind) + QStringLiteral("?envelope=true&signs=false"), {{QStringLiteral("0"), envelope.toUtf8()}});
    m_portal.serve(storageUrl(kind) + QStringLiteral("?envelope=true&signs=%1&allAttachments=true")
                                          .arg(isSigned ? QStringLiteral("true") : QStringLiteral("false")),
                   everything);
    return envelope;
}
