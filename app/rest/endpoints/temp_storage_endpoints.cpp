#include "rest/endpoints/temp_storage_endpoints.h"

#include "http/file_body.h"
#include "interfaces/app_config.h"
#include "interfaces/temp_storage.h"
#include "rest/conventions/request_input.h"
#include "rest/conventions/response_output.h"

#include "tessel/filefuncs.h"
#include "tessel/log_record.h"
#include "tessel/uuid_text.h"

#include <Poco/Net/HTMLForm.h>
#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>
#include <Poco/Net/MessageHeader.h>
#include <Poco/Net/PartHandler.h>
#include <Poco/URI.h>

#include <QJsonArray>

namespace tessel::rest {
namespace {

enum class UploadType { Scans, Pdf, Certificate, Default, Invalid };

UploadType uploadTypeOf(const Poco::Net::HTTPServerRequest& request)
{
    for (const auto& [name, value] : Poco::URI(request.getURI()).getQueryParameters()) {
        if (name != "type")
            continue;
        if (value == "scans")
            return UploadType::Scans;
        if (value == "pdf")
            return UploadType::Pdf;
        if (value == "certificate")
            return UploadType::Certificate;
        if (value == "default")
            return UploadType::Default;
        LOG_ERROR << QStringLiteral("Invalid storage type value: %1").arg(QString::fromStdString(value));
        return UploadType::Invalid;
    }
    return UploadType::Default;
}

bool isValid(UploadType type, const QString& path)
{
    switch (type) {
    case UploadType::Scans:
        return utils::isImageFile(path);
    case UploadType::Pdf:
        return utils::isPdfFile(path);
    case UploadType::Certificate:
        return true;
    default:
        return mimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchContent).name()
            == QLatin1String("application/zip");
    }
}

// Writes each file part of an upload to a temporary file and keeps the ones that pass validation.
class UploadPartHandler : public Poco::Net::PartHandler
{
public:
    UploadPartHandler(TempStorage& storage, UploadType type) : m_storage(storage), m_type(type) {}

    // The form hands over only parts that carry a file name.
    void handlePart(const Poco::Net::MessageHeader&, std::istream& stream) override
    {
        QSharedPointer<QTemporaryFile> file = utils::mkTemp(utils::tempStoragePrefix);
        char block[4096];
        while (stream.read(block, sizeof block) || stream.gcount() > 0) {
            if (file->write(block, stream.gcount()) != stream.gcount())
                throw utils::exception(file->errorString());
        }
        if (!file->flush())
            throw utils::exception(file->errorString());
        const QString path = file->fileName();
        // No descriptor stays open between requests; the file goes with its last holder.
        std::shared_ptr<void> owner = utils::closedTemporary(std::move(file));

        if (!isValid(m_type, path)) {
            LOG_WARN << QStringLiteral("Failed to validate a file: %1").arg(path);
            m_ids.append(uuidToText(QUuid()));
            return;
        }
        auto entry = std::make_shared<TempEntry>();
        entry->file = QFileInfo(path);
        entry->owner = std::move(owner);
        m_ids.append(uuidToText(m_storage.add(entry)));
    }

    const QJsonArray& ids() const { return m_ids; }

private:
    TempStorage& m_storage;
    const UploadType m_type;
    QJsonArray m_ids;
};

bool post(TempStorage& storage, Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    if (!request.has("Content-Type") || request.getContentType().find("multipart/form-data") == std::string::npos)
        return false;
    UploadPartHandler parts(storage, uploadTypeOf(request));
    try {
        Poco::Net::HTMLForm form;
        form.load(request, request.stream(), parts);
    } catch (const std::exception& e) {
        const auto* poco = dynamic_cast<const Poco::Exception*>(&e);
        LOG_ERROR << QStringLiteral("Error while receiving file from client: %1")
                         .arg(poco ? QString::fromStdString(poco->displayText()) : QString::fromUtf8(e.what()));
        sendError(response, QString(), 500);
        return true;
    }
    response.setContentType("application/json");
    response.setStatus(Poco::Net::HTTPResponse::HTTP_OK);
    const QByteArray body = toJsonText(parts.ids()).toUtf8();
    response.send().write(body.constData(), body.size());
    return true;
}

void download(TempStorage& storage, Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    std::vector<std::string> segments;
    Poco::URI(request.getURI()).getPathSegments(segments);
    const QUuid id = uuidFromText(segments.empty() ? QString() : QString::fromStdString(segments.back()));
    const bool scans = uploadTypeOf(request) == UploadType::Scans;
    if (scans && id.isNull()) {
        LOG_INFO << "Broken image requested";
        response.redirect((AppConfig::instance()->localPrefix() + QStringLiteral("/resource/image/broken.png"))
                              .toStdString(),
                          Poco::Net::HTTPResponse::HTTP_FOUND);
        return;
    }
    // Held for the whole transfer, so a concurrent DELETE cannot remove the file under it.
    const TempEntryPtr entry = storage.find(id);
    if (!entry) {
        if (scans)
            LOG_DEBUG << QStringLiteral("Scan not found for ID: %1").arg(id.toString());
        sendError(response, QStringLiteral("Not found!"), 404);
        return;
    }
    sendFile(entry->file, response, QString(), true, QString());
}

void erase(TempStorage& storage, Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    uploadTypeOf(request); // logs an invalid type, as every request does
    storage.remove(uuidFromText(readBodyText(request)));
    sendNoContent(response);
}

} // namespace

bool tempStorageRequest(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    TempStorage& storage = *TempStorage::instance();
    const std::string& method = request.getMethod();
    if (method == "POST")
        return post(storage, request, response);
    if (method == "GET")
        download(storage, request, response);
    else if (method == "DELETE")
        erase(storage, request, response);
    else
        return false;
    return true;
}

} // namespace tessel::rest
