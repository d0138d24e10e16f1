#include "rest/endpoints/scan_endpoints.h"

#include "rest/conventions/errors.h"
#include "rest/conventions/request_input.h"
#include "rest/conventions/respond.h"
#include "rest/conventions/response_output.h"

#include "interfaces/scan_manager.h"
#include "tessel/uuid_text.h"

#include <QJsonArray>
#include <QJsonObject>

#include <limits>

namespace tessel::rest {
namespace {

// The attachment a scan request names.
struct ScanRequest
{
    QUuid documentId;
    quint64 attachment;
    QJsonObject body;
};

ScanRequest scanRequestOf(Poco::Net::HTTPServerRequest& request)
{
    const QJsonObject body = parseJsonBody(request).toObject();
    const QUuid id = uuidFromText(body.value(QStringLiteral("documentId")).toString());
    const QJsonValue index = body.value(QStringLiteral("attachmentIdx"));
    // A negative or huge number has no attachment and cannot be converted safely.
    const double largest = static_cast<double>(std::numeric_limits<qint64>::max());
    if (id.isNull() || !index.isDouble() || !(index.toDouble() >= 0 && index.toDouble() < largest))
        throw bad_request();
    return ScanRequest{id, static_cast<quint64>(index.toDouble()), body};
}

void sendIds(Poco::Net::HTTPServerResponse& response, const QList<QUuid>& ids)
{
    QJsonArray texts;
    for (const QUuid& id : ids)
        texts.append(uuidToText(id));
    sendJson(response, texts);
}

} // namespace

RouteHandler scanPages(docs::StorageType kind)
{
    return [kind](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
        return respond(response, [&] {
            const QString path = requestPath(request);
            sendIds(response,
                    docs::ScanManager::instance()->openScan(sessionIdOf(request), kind,
                                                            uuidFromText(pathSegment(path, 3)),
                                                            pathSegment(path, 0).toULongLong()));
        });
    };
}

bool openDraftScan(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const ScanRequest scan = scanRequestOf(request);
        sendIds(response,
                docs::ScanManager::instance()->openScan(sessionIdOf(request), docs::StorageType::Drafts,
                                                        scan.documentId, scan.attachment));
    });
}

bool saveDraftScan(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const ScanRequest scan = scanRequestOf(request);
        const QJsonValue images = scan.body.value(QStringLiteral("images"));
        if (!images.isArray())
            throw bad_request();
        QList<QUuid> ids;
        for (const QJsonValue& image : images.toArray()) {
            ids.append(uuidFromText(image.toString()));
            if (ids.last().isNull())
                throw bad_request();
        }
        docs::ScanManager::instance()->saveScan(sessionIdOf(request), scan.documentId, scan.attachment, ids);
        sendJson(response, QJsonValue());
    });
}

} // namespace tessel::rest
