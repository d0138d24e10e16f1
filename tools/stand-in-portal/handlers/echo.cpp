#include "body_digest.h"
#include "handlers/handlers.h"
#include "json_answer.h"
#include "request_json.h"

namespace standin {

void serveEcho(Exchange& exchange)
{
    QJsonObject json = requestJson(exchange.request, exchange.clientSubject);
    const QJsonObject digest = digestBody(exchange.body);
    for (auto it = digest.begin(); it != digest.end(); ++it)
        json.insert(it.key(), it.value());
    sendJson(exchange.response, json);
}

} // namespace standin
