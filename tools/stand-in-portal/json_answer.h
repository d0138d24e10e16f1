#pragma once

#include "response.h"

#include <QJsonObject>

namespace standin {

void sendJson(Response& response, const QJsonObject& json);

} // namespace standin
