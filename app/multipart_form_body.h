#pragma once

#include <QFileInfo>
#include <QString>
#include <QVector>

#include <ostream>
#include <string>

namespace tessel {

// A multipart/form-data body of file parts whose length is known before it is sent, so that
// it goes with an exact Content-Length; the files are streamed when the body is written.
class MultipartFormBody
{
public:
    MultipartFormBody();

    // The file must exist: its size goes into the length now.
    void addFile(const QString& name, const QFileInfo& file, const std::string& contentType);

    std::string contentType() const;
    std::streamsize contentLength() const;
    // Fails when a file cannot be read or no longer has the size it had when it was added.
    void write(std::ostream& out) const;

private:
    struct FilePart
    {
        std::string header;
        QString path;
        qint64 size;
    };

    std::string closing() const;

    std::string m_boundary;
    QVector<FilePart> m_parts;
};

} // namespace tessel
