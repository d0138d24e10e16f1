#pragma once

#include "fake_portal.h"

#include "docs/storage_type.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QUuid>
#include <QVector>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// An attachment of a test envelope: its part number and whether it carries a hash.
struct TestAttachment
{
    int index;
    bool hashed;
};

// A small envelope with the given attachments (a minimal body otherwise).
QString envelopeXml(const QVector<TestAttachment>& attachments, bool isSigned);

// Fresh stores under a temporary directory, in front of a fake portal.
class StoreTest : public ::testing::Test
{
protected:
    void SetUp() override;

    QString filePath(tessel::docs::StorageType kind, const QString& name) const;
    void put(tessel::docs::StorageType kind, const QString& name, const QByteArray& content);
    QByteArray contents(tessel::docs::StorageType kind, const QString& name) const;
    bool exists(tessel::docs::StorageType kind, const QString& name) const;
    // The document's files in a store, sorted, named without the id ("0", "1.sign", ...).
    QStringList filesOf(tessel::docs::StorageType kind) const;

    QString storageUrl(tessel::docs::StorageType kind) const;
    // Serves the document for both downloads of a store (the envelope alone, then everything)
    // and returns its envelope.
    QString serveDocument(tessel::docs::StorageType kind, const QVector<TestAttachment>& attachments, bool isSigned,
                          const QMap<QString, QByteArray>& entries);

    const QString m_session = QStringLiteral("session-7");
    const QUuid m_id = QUuid::createUuid();
    const QString m_idText = m_id.toString(QUuid::WithoutBraces);
    QTemporaryDir m_root;
    FakePortal m_portal;
};
