#include "rest/conventions/request_input.h"

#include "rest/conventions/errors.h"

#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/NameValueCollection.h>

#include <QJsonDocument>
#include <QJsonObject>

namespace tessel::rest {

QString readBodyText(Poco::Net::HTTPServerRequest& request)
{
    // Bodies read as text are small JSON; a bigger one is refused rather than held in memory.
    std::string body;
    char buffer[8192];
    std::istream& stream = request.stream();
    while (stream.read(buffer, sizeof buffer) || stream.gcount() > 0) {
        body.append(buffer, static_cast<std::size_t>(stream.gcount()));
        if (body.size() > maxBodyTextSize)
            throw bad_request(QStringLiteral("Request body is larger than %1 bytes").arg(maxBodyTextSize));
    }
    return QString::fromUtf8(body.c_str());
}

QJsonValue parseJsonBody(Poco::Net::HTTPServerRequest& request)
{
    const QString text = readBodyText(request);
    if (text.isEmpty())
        return QJsonValue();
    if (!text.startsWith(QLatin1Char('[')) && !text.startsWith(QLatin1Char('{')))
        return QJsonValue(text);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError)
        throw parse_param_exception(
            QStringLiteral("Error creating json from request body: %1").arg(error.errorString()));
    return document.object();
}

QString sessionIdOf(const Poco::Net::HTTPServerRequest& request)
{
    static const std::string name = "X-Session-Id";
    if (request.has(name))
        return QString::fromStdString(request.get(name));
    Poco::Net::NameValueCollection cookies;
    request.getCookies(cookies);
    return QString::fromStdString(cookies.get(name, std::string()));
}

QString requestPath(const Poco::Net::HTTPServerRequest& request) { return QString::fromUtf8(request.getURI().c_str()); }

QString pathSegment(const QString& path, int k)
{
    const QStringList parts = path.split(QLatin1Char('/'));
    const int index = parts.size() - k - 1;
    return index >= 0 && index < parts.size() ? parts.at(index) : QString();
}

} // namespace tessel::rest
