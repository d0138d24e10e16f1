#pragma once

#include "request_body.h"

#include <QJsonObject>

namespace standin {

// Reads the whole body in pieces: {"bodyLength": n, "bodySha256": "hex"}.
QJsonObject digestBody(RequestBody& body);

} // namespace standin
