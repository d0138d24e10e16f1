#include "server/static_file_handler.h"

#include "http/file_body.h"

#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tessel {

StaticFileHandler::StaticFileHandler(const QString& rootDirectory, const QString& prefix)
    : m_root(QFileInfo(rootDirectory).canonicalFilePath()), m_prefix(prefix)
{
    if (m_root.isEmpty())
        m_root = rootDirectory;
    if (!m_root.endsWith(QLatin1Char('/')))
        m_root.append(QLatin1Char('/'));
}

QString StaticFileHandler::fileFor(const QString& target) const
{
    const QString path = QDir::cleanPath(m_root + target.mid(m_prefix.size()));
    if (!path.startsWith(m_root) || path.contains(QStringLiteral("/../")))
        return QString();
    const QFileInfo info(path);
    return info.exists() && info.isFile() ? path : QString();
}

bool StaticFileHandler::operator()(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) const
{
    if (request.getMethod() != "GET")
        return false;
    const QString target = QString::fromUtf8(request.getURI().c_str());
    if (!target.startsWith(m_prefix))
        return false;
    const QString path = fileFor(target);
    if (path.isEmpty())
        return false;

    QFile file(path);
    if (openForAnswer(file, response))
        sendFileBody(file, mimeDatabase().mimeTypeForFile(path).name(), response);
    return true;
}

} // namespace tessel
