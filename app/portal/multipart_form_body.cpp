#include "portal/multipart_form_body.h"

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
{}

void MultipartFormBody::addFile(const QString& name, const QFileInfo& file, const std::string& contentType)
{
    const QFileInfo current(file.absoluteFilePath());
    if (!current.isFile())
        throw utils::exception(QStringLiteral("Can't find file \"%1\"").arg(file.filePath()));
    const QString fileName = current.fileName();
    m_parts.append(
        Part{partHeader(name, &fileName, contentType), current.absoluteFilePath(), QByteArray(), current.size()});
}

void MultipartFormBody::addText(const QString& name, const QByteArray& content, const std::string& contentType)
{
    m_parts.append(Part{partHeader(name, nullptr, contentType), QString(), content, content.size()});
}

std::string MultipartFormBody::partHeader(const QString& name, const QString* fileName,
                                          const std::string& contentType) const
{
    std::string header = "--" + m_boundary + "\r\nContent-Disposition: form-data; name=" + quoted(name);
    if (fileName)
        header += "; filename=" + quoted(*fileName);
    return header + "\r\nContent-Type: " + contentType + "\r\n\r\n";
}

std::string MultipartFormBody::contentType() const { return "multipart/form-data; boundary=" + m_boundary; }

std::streamsize MultipartFormBody::contentLength() const
{
    std::streamsize length = static_cast<std::streamsize>(closing().size());
    for (const Part& part : m_parts)
        length += static_cast<std::streamsize>(part.header.size()) + part.size + 2;
    return length;
}

void MultipartFormBody::write(std::ostream& out) const
{
    for (const Part& part : m_parts) {
        out << part.header;
        if (part.path.isEmpty())
            out.write(part.text.constData(), part.text.size());
        else
            writeFile(out, part);
        out << "\r\n";
    }
    out << closing();
}

void MultipartFormBody::writeFile(std::ostream& out, const Part& part)
{
    char buffer[8192];
    QFile file(part.path);
    if (!file.open(QIODevice::ReadOnly))
        throw utils::exception(QStringLiteral("Error opening file \"%1\": %2").arg(part.path, file.errorString()));
    qint64 sent = 0;
    for (qint64 n; (n = file.read(buffer, sizeof buffer)) > 0 && sent + n <= part.size; sent += n)
        out.write(buffer, n);
    // Anything else than the announced size would corrupt the whole request.
    if (sent != part.size || !file.atEnd())
        throw utils::exception(QStringLiteral("File \"%1\" changed while it was being sent").arg(part.path));
}

std::string MultipartFormBody::closing() const { return "--" + m_boundary + "--\r\n"; }

} // namespace tessel
