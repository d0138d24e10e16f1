#pragma once

#include <Poco/Net/HTTPRequest.h>

#include <QJsonObject>

#include <string>

namespace standin {

// method, target, version, headers (a list of [name, value] in the order received) and
// clientSubject (null without a client certificate).
QJsonObject requestJson(const Poco::Net::HTTPRequest& request, const std::string& clientSubject);

} // namespace standin
