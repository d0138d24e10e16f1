#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

namespace Poco::Net {
class HTTPServerRequest;
}

namespace tessel::rest {

// The multipart form of a key import: the PKCS#12 file ("file"), its password ("password"), the
// new container's name ("name") and its PIN ("pin"). Parts are read in bounded pieces; a form
// that breaks a bound (its number of parts among them), lacks the file or the name, or is no
// multipart form is a bad request. The password and the PIN are wiped when the form goes.
class KeyImportForm
{
public:
    static constexpr std::size_t maxFileSize = 1 << 20;
    static constexpr std::size_t maxTextSize = 4096;
    // As many as the browser may add beside ours; their content is skipped.
    static constexpr std::size_t maxParts = 100;

    explicit KeyImportForm(Poco::Net::HTTPServerRequest& request);
    KeyImportForm(const KeyImportForm&) = delete;
    KeyImportForm& operator=(const KeyImportForm&) = delete;

    const QByteArray& file() const { return m_file; }
    const QString& name() const { return m_name; }
    const QString& password() const { return m_password.text; }
    const QString& pin() const { return m_pin.text; }

private:
    // Wiped however the form goes, a failed reading included.
    struct Secret
    {
        QString text;
        ~Secret();
    };

    QByteArray m_file;
    QString m_name;
    Secret m_password;
    Secret m_pin;
};

} // namespace tessel::rest
