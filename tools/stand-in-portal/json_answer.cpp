#include "json_answer.h"

#include <QJsonDocument>

namespace standin {

void sendJson(Response& response, const QJsonObject& json)
{
    const QByteArray text = QJsonDocument(json).toJson(QJsonDocument::Indented);
    response.sendText(Poco::Net::HTTPResponse::HTTP_OK, "application/json",
                      std::string(text.constData(), static_cast<std::size_t>(text.size())));
}

} // namespace standin
