#include "request_json.h"

#include <QJsonArray>
#include <QJsonValue>

namespace standin {

namespace {

QString text(const std::string& bytes) { return QString::fromUtf8(bytes.data(), static_cast<int>(bytes.size())); }

} // namespace

QJsonObject requestJson(const Poco::Net::HTTPRequest& request, const std::string& clientSubject)
{
    QJsonArray headers;
    for (const auto& [name, value] : request)
        headers.append(QJsonArray{text(name), text(value)});
    QJsonObject json;
    json["method"] = text(request.getMethod());
    json["target"] = text(request.getURI());
    json["version"] = text(request.getVersion());
    json["headers"] = headers;
    json["clientSubject"] = clientSubject.empty() ? QJsonValue() : QJsonValue(text(clientSubject));
    return json;
}

} // namespace standin
