#include "document_store.h"
#include "handlers/handlers.h"
#include "http_error.h"
#include "json_answer.h"
#include "route_table.h"
#include "uploaded_files.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <string>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

constexpr qint64 kMaxDocument = 1024 * 1024;

QJsonObject documentObject(const UploadedFile& part)
{
    if (part.name != "document" || !part.fileName.empty())
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST,
                        "the form must start with the field \"document\", got: " + part.name);
    QFile file(QString::fromStdString(part.content->path().string()));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxDocument)
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "the document must be a JSON object of at most 1 MiB");
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST,
                        "the document must be a JSON object: " + error.errorString().toStdString());
    return document.object();
}

// Attachments come as files "att2.data", "att3.data", ... in this order, without gaps.
void checkAttachment(const UploadedFile& part, int index)
{
    const std::string expected = "att" + std::to_string(index) + ".data";
    if (part.name != expected || part.fileName.empty())
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST,
                        "expected the file part " + expected + ", got: " + part.name + " (file \"" + part.fileName
                            + "\")");
}

// Attachment files and their signatures, which no longer match what was uploaded.
void removeAttachments(const std::filesystem::path& draft)
{
    for (int index = 2; std::filesystem::exists(draft / std::to_string(index)); ++index) {
        std::filesystem::remove(draft / std::to_string(index));
        std::filesystem::remove(draft / (std::to_string(index) + ".sign"));
    }
}

} // namespace

void serveDraftPut(Exchange& exchange)
{
    const std::string id = pathSegmentFromEnd(exchange.request.getURI(), 0);
    const DocumentStore store(exchange.portal.stateDir);
    store.existing("drafts", id);
    std::vector<UploadedFile> parts = receiveFormParts(exchange.request, exchange.body, store.scratchDirectory());
    if (parts.empty())
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "the form holds no part");
    const QJsonObject document = documentObject(parts.front());
    QJsonArray attachments;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        checkAttachment(parts[i], index);
        attachments.append(
            QJsonObject{{"index", index},
                        {"fileName", QString::fromStdString(parts[i].fileName)},
                        {"contentType", QString::fromStdString(parts[i].contentType)},
                        {"size", static_cast<qint64>(std::filesystem::file_size(parts[i].content->path()))}});
    }
    {
        // The whole form is good: the draft's attachments become the uploaded ones in one go.
        const std::lock_guard<std::mutex> lock(DocumentStore::changes());
        const std::filesystem::path draft = store.existing("drafts", id);
        removeAttachments(draft);
        for (std::size_t i = 1; i < parts.size(); ++i)
            parts[i].content->moveTo(draft / std::to_string(i + 1));
        parts.front().content->moveTo(draft / "document.json");
    }
    sendJson(exchange.response,
             QJsonObject{{"id", QString::fromStdString(id)}, {"document", document}, {"attachments", attachments}});
}

} // namespace standin
