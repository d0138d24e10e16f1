#include "request_log.h"

#include "request_json.h"

#include <QDateTime>
#include <QJsonDocument>

#include <stdexcept>

namespace standin {

RequestLog::RequestLog(const std::filesystem::path& stateDir)
    : m_file(stateDir / "requests.log", std::ios::app | std::ios::binary)
{
    if (!m_file)
        throw std::runtime_error("cannot open " + (stateDir / "requests.log").string());
}

void RequestLog::record(const Poco::Net::HTTPRequest& request, const std::string& clientSubject,
                        const std::string& peer)
{
    QJsonObject json = requestJson(request, clientSubject);
    json["time"] = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    json["peer"] = QString::fromStdString(peer);
    const QByteArray line = QJsonDocument(json).toJson(QJsonDocument::Compact);
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_file.write(line.constData(), line.size()).put('\n').flush();
}

} // namespace standin
