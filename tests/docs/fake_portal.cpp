#include "fake_portal.h"

#include "docs/drafts_storage.h"
#include "rest_error.h"

#include <Poco/Zip/Compress.h>

#include <QFile>

#include <fstream>
#include <sstream>

class FakePortal::Client : public tessel::RestClient
{
public:
    explicit Client(std::shared_ptr<State> state) : m_state(std::move(state)) {}

    void getFile(const QString& sessionId, const QString& path, const QFileInfo& target, const QJsonObject&) override
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->downloads.append(path);
        m_state->downloadSessions.append(sessionId);
        const auto found = m_state->served.constFind(path);
        if (found == m_state->served.constEnd())
            throw tessel::RestError(404, "Not Found");
        std::ofstream out(QFile::encodeName(target.filePath()).toStdString(), std::ios::binary | std::ios::trunc);
        Poco::Zip::Compress writer(out, true, false);
        for (auto entry = found->constBegin(); entry != found->constEnd(); ++entry) {
            std::istringstream content(entry.value().toStdString());
            writer.addFile(content, Poco::DateTime(), Poco::Path(entry.key().toStdString(), Poco::Path::PATH_UNIX));
        }
        writer.close();
    }

    void sendSigns(const QString& sessionId, const QUuid& draftId, const QFileInfo& envelope,
                   const QVector<QFileInfo>& signs) override
    {
        QStringList paths;
        for (const QFileInfo& sign : signs)
            paths.append(sign.filePath());
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->signsUploads.append({sessionId, draftId, envelope.filePath(), paths});
    }

    void sendDraft(const QString&, const QUuid& draftId) override
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->sentDrafts.append(draftId);
    }

    QJsonValue putDraft(const QString& sessionId, const QUuid& draftId, const QJsonObject& document) override
    {
        DraftUpload upload{sessionId, draftId, document, {}};
        tessel::docs::DraftsStorage* drafts = tessel::docs::DraftsStorage::instance();
        for (int part = 2; part < drafts->partsCount(sessionId, draftId); ++part) {
            QFile file(drafts->getDocumentPart(sessionId, draftId, part, false).get().filePath());
            if (!file.open(QIODevice::ReadOnly))
                throw tessel::utils::exception(QStringLiteral("no part %1 to upload").arg(part));
            upload.attachments.insert(part, file.readAll());
        }
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->draftUploads.append(upload);
        if (m_state->draftUploadStatus >= 400)
            throw tessel::RestError(m_state->draftUploadStatus, "Refused");
        return m_state->draftUploadAnswer;
    }

    void deleteDraft(const QString&, const QUuid&) override { unexpected("deleteDraft"); }
    void setSignState(const QString&, const QUuid&, unsigned, const QDateTime&) override { unexpected("setSignState"); }
    QJsonObject getSignVerificationData(const QString&, const QUuid&) override
    {
        unexpected("getSignVerificationData");
    }

private:
    [[noreturn]] static void unexpected(const char* call)
    {
        throw std::logic_error(std::string("the stores do not call ") + call);
    }

    std::shared_ptr<State> m_state;
};

FakePortal::FakePortal() : m_state(std::make_shared<State>()) {}

void FakePortal::install()
{
    tessel::RestClient::holder().recreate([state = m_state] { return new Client(state); });
}

void FakePortal::serve(const QString& path, const QMap<QString, QByteArray>& entries)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->served.insert(path, entries);
}

QStringList FakePortal::downloads() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->downloads;
}

QStringList FakePortal::downloadSessions() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->downloadSessions;
}

QList<FakePortal::SignsUpload> FakePortal::signsUploads() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->signsUploads;
}

QList<QUuid> FakePortal::sentDrafts() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->sentDrafts;
}

QList<FakePortal::DraftUpload> FakePortal::draftUploads() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->draftUploads;
}

void FakePortal::answerDraftUploads(int status, const QJsonValue& answer)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->draftUploadStatus = status;
    m_state->draftUploadAnswer = answer;
}
