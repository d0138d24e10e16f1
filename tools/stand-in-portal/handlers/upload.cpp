#include "body_digest.h"
#include "handlers/handlers.h"
#include "json_answer.h"

namespace standin {

void serveUpload(Exchange& exchange) { sendJson(exchange.response, digestBody(exchange.body)); }

} // namespace standin
