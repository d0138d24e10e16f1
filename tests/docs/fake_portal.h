#pragma once

#include "rest_client.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <memory>
#include <mutex>

// Stands in for the portal behind the process-wide REST client: storage downloads are
// answered with ZIP archives built from the entries served for their exact path (anything
// else is a 404), and uploads are recorded. Draft uploads read the drafts store as the
// real client does.
class FakePortal
{
public:
    struct SignsUpload
    {
        QString sessionId;
        QUuid draftId;
        QString envelope;
        QStringList signs;
    };

    // A draft upload, with the attachment files as they were when it was made.
    struct DraftUpload
    {
        QString sessionId;
        QUuid draftId;
        QJsonObject document;
        QMap<int, QByteArray> attachments;
    };

    FakePortal();

    // Puts a client of this portal in place of RestClient::instance().
    void install();

    // Entries are named as the portal names them: "0", "1", "2.sign", ...
    void serve(const QString& path, const QMap<QString, QByteArray>& entries);

    // The paths asked for with getFile, and the session id of each, in order.
    QStringList downloads() const;
    QStringList downloadSessions() const;
    QList<SignsUpload> signsUploads() const;
    QList<QUuid> sentDrafts() const;
    QList<DraftUpload> draftUploads() const;
    // What draft uploads answer; an error status makes them raise a RestError instead.
    void answerDraftUploads(int status, const QJsonValue& answer);

private:
    class Client;
    struct State
    {
        mutable std::mutex mutex;
        QMap<QString, QMap<QString, QByteArray>> served;
        QStringList downloads;
        QStringList downloadSessions;
        QList<SignsUpload> signsUploads;
        QList<QUuid> sentDrafts;
        QList<DraftUpload> draftUploads;
        int draftUploadStatus = 200;
        QJsonValue draftUploadAnswer;
    };

    std::shared_ptr<State> m_state;
};
