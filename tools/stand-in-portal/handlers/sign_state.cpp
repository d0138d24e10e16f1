#include "document_store.h"
#include "handlers/handlers.h"
#include "http_error.h"
#include "route_table.h"
#include "scratch_file.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include <fstream>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

constexpr std::size_t kMaxStateBody = 64 * 1024;

QByteArray readSmallBody(RequestBody& body)
{
    QByteArray text;
    char buffer[8192];
    while (const std::size_t count = body.read(buffer, sizeof buffer)) {
        text.append(buffer, static_cast<int>(count));
        if (static_cast<std::size_t>(text.size()) > kMaxStateBody)
            throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "the sign state must be a JSON object of at most 64 KiB");
    }
    return text;
}

// {"changeTime": "yyyy-MM-ddTHH:mm:ss.zzzZ", "newStateId": n}, checked before it is kept.
QJsonObject parseSignState(const QByteArray& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST,
                        "the sign state must be a JSON object: " + error.errorString().toStdString());
    const QJsonObject state = document.object();
    const QString changeTime = state.value("changeTime").toString();
    if (!QDateTime::fromString(changeTime, Qt::ISODateWithMs).isValid())
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST,
                        "changeTime must be an ISO 8601 date-time, got: " + changeTime.toStdString());
    const QJsonValue stateId = state.value("newStateId");
    if (!stateId.isDouble() || stateId.toDouble() < 0 || stateId.toDouble() != static_cast<double>(stateId.toInt()))
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "newStateId must be a whole number of 0 or more");
    return QJsonObject{{"changeTime", changeTime}, {"newStateId", stateId.toInt()}};
}

} // namespace

void serveSignState(Exchange& exchange)
{
    const std::string id = pathSegmentFromEnd(exchange.request.getURI(), 1);
    const DocumentStore store(exchange.portal.stateDir);
    store.existing("inbox", id);
    const QJsonObject state = parseSignState(readSmallBody(exchange.body));
    ScratchFile file(store.scratchDirectory(), "sign-state");
    {
        const QByteArray text = QJsonDocument(state).toJson(QJsonDocument::Indented);
        std::ofstream out(file.path(), std::ios::binary | std::ios::trunc);
        if (!out.write(text.constData(), text.size()).flush())
            throw std::runtime_error("cannot write " + file.path().string());
    }
    {
        const std::lock_guard<std::mutex> lock(DocumentStore::changes());
        file.moveTo(store.existing("inbox", id) / "signState.json");
    }
    exchange.response.sendNoContent();
}

} // namespace standin
