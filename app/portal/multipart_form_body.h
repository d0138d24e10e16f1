#pragma once

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <QVector>

#include <ostream>
#include <string>

namespace tessel {

// A multipart/form-data body of file and text parts whose length is known before it is sent, so that
// it goes with an exact Content-Length; the files are streamed when the body is written.
class MultipartFormBody
{
public:
    MultipartFormBody();

    // The file must exist: its size goes into the length now.
    void addFile(const QString& name, const QFileInfo& file, const std::string& contentType);
    // A part without a file name whose content is held here.
    void addText(const QString& name, const QByteArray& content, const std::string& contentType);

    std::string contentType() const;
    std::streamsize contentLength() const;
    // Fails when a file cannot be read or no longer has the size it had when it was added.
    void write(std::ostream& out) const;

private:
    struct Part
    {
        std::string header;
        QString path; // empty for a text part
        QByteArray text;
        qint64 size;
    };

    std::string partHeader(const QString& name, const QString* fileName, const std::string& contentType) const;
    static void writeFile(std::ostream& out, const Part& part);

    std::string closing() const;

    std::string m_boundary;
    QVector<Part> m_parts;
};

} // namespace tessel
