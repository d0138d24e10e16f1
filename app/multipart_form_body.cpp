#include "multipart_form_body.h"

#include "tessel/exception.h"

#include <QFile>
#include <QUuid>

namespace tessel {
namespace {

std::string quoted(const QString& text)
{
    std::string result = "\"";
    for (const char c : text.toUtf8().toStdString()) {
        if (c == '\r' || c == '\n')
            throw utils::exception(QStringLiteral("A form field name cannot hold a line break: \"%1\"").arg(text));
        if (c == '"' || c == '\\')
            result += '\\';
        result += c;
    }
    return result + '"';
}

} // namespace

MultipartFormBody::MultipartFormBody()
    : m_boundary("velmar-" + QUuid::createUuid().toString(QUuid::Id128).toStdString())
{
}

void MultipartFormBody::addFile(const QString& name, const QFileInfo& file, const std::string& contentType)
{
    const QFileInfo current(file.absoluteFilePath());
    if (!current.isFile())
        throw utils::exception(QStringLiteral("Can't find file \"%1\"").arg(file.filePath()));
    const std::string header = "--" + m_boundary + "\r\nContent-Disposition: form-data; name=" + quoted(name)
                               + "; filename=" + quoted(current.fileName()) + "\r\nContent-Type: " + contentType
                               + "\r\n\r\n";
    m_parts.append(FilePart{header, current.absoluteFilePath(), current.size()});
}

std::string MultipartFormBody::contentType() const
{
    return "multipart/form-data; boundary=" + m_boundary;
}

std::streamsize MultipartFormBody::contentLength() const
{
    std::streamsize length = static_cast<std::streamsize>(closing().size());
    for (const FilePart& part : m_parts)
        length += static_cast<std::streamsize>(part.header.size()) + part.size + 2;
    return length;
}

void MultipartFormBody::write(std::ostream& out) const
{
    char buffer[8192];
    for (const FilePart& part : m_parts) {
        out << part.header;
        QFile file(part.path);
        if (!file.open(QIODevice::ReadOnly))
            throw utils::exception(QStringLiteral("Error opening file \"%1\": %2").arg(part.path, file.errorString()));
        qint64 sent = 0;
        for (qint64 n; (n = file.read(buffer, sizeof buffer)) > 0 && sent + n <= part.size; sent += n)
            out.write(buffer, n);
        // Anything else than the announced size would corrupt the whole request.
        if (sent != part.size || !file.atEnd())
            throw utils::exception(QStringLiteral("File \"%1\" changed while it was being sent").arg(part.path));
        out << "\r\n";
    }
    out << closing();
}

std::string MultipartFormBody::closing() const
{
    return "--" + m_boundary + "--\r\n";
}

} // namespace tessel
