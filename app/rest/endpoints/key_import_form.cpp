#include "rest/endpoints/key_import_form.h"

#include "rest/conventions/errors.h"

#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/MediaType.h>
#include <Poco/Net/MessageHeader.h>
#include <Poco/Net/MultipartReader.h>
#include <Poco/Net/NameValueCollection.h>

#include <cstring>
#include <istream>
#include <limits>

namespace tessel::rest {
namespace {

void wipe(QByteArray& bytes)
{
    explicit_bzero(bytes.data(), static_cast<std::size_t>(bytes.size()));
    bytes.clear();
}

void wipe(QString& text)
{
    explicit_bzero(text.data(), static_cast<std::size_t>(text.size()) * sizeof(QChar));
    text.clear();
}

// The part into bytes reserved up front, so that growing never leaves a copy behind.
QByteArray readPart(std::istream& stream, const std::string& name, std::size_t limit)
{
    QByteArray bytes;
    bytes.reserve(static_cast<int>(limit));
    char block[4096];
    while (stream.read(block, sizeof block) || stream.gcount() > 0) {
        const auto count = static_cast<std::size_t>(stream.gcount());
        const bool fits = static_cast<std::size_t>(bytes.size()) + count <= limit;
        if (fits)
            bytes.append(block, static_cast<int>(count));
        explicit_bzero(block, sizeof block);
        if (!fits) {
            wipe(bytes);
            throw bad_request(QStringLiteral("The part \"%1\" of the form is larger than %2 bytes")
                                  .arg(QString::fromStdString(name))
                                  .arg(limit));
        }
    }
    return bytes;
}

QString readTextPart(std::istream& stream, const std::string& name)
{
    QByteArray bytes = readPart(stream, name, KeyImportForm::maxTextSize);
    QString text = QString::fromUtf8(bytes);
    wipe(bytes);
    return text;
}

std::string partName(const Poco::Net::MessageHeader& header)
{
    std::string disposition;
    Poco::Net::NameValueCollection parameters;
    Poco::Net::MessageHeader::splitParameters(header.get("Content-Disposition", std::string()), disposition,
                                              parameters);
    return parameters.get("name", std::string());
}

} // namespace

KeyImportForm::Secret::~Secret() { wipe(text); }

KeyImportForm::KeyImportForm(Poco::Net::HTTPServerRequest& request)
{
    const Poco::Net::MediaType type(request.getContentType());
    if (!type.matches("multipart", "form-data") || !type.hasParameter("boundary"))
        throw bad_request(QStringLiteral("The key import takes a multipart/form-data body"));
    bool hasFile = false;
    try {
        Poco::Net::MultipartReader reader(request.stream(), type.getParameter("boundary"));
        // On a broken delimiter line the reader finds empty parts at the same place for ever.
        for (std::size_t parts = 0; reader.hasNextPart(); ++parts) {
            if (parts == maxParts)
                throw bad_request(QStringLiteral("The key import form has more than %1 parts").arg(maxParts));
            Poco::Net::MessageHeader header;
            reader.nextPart(header);
            const std::string name = partName(header);
            if (name == "file") {
                m_file = readPart(reader.stream(), name, maxFileSize);
                hasFile = true;
            } else if (name == "name") {
                m_name = readTextPart(reader.stream(), name);
            } else if (name == "password") {
                m_password.text = readTextPart(reader.stream(), name);
            } else if (name == "pin") {
                m_pin.text = readTextPart(reader.stream(), name);
            } else {
                reader.stream().ignore(std::numeric_limits<std::streamsize>::max());
            }
        }
    } catch (const Poco::Exception& e) {
        throw bad_request(
            QStringLiteral("The key import form cannot be read: %1").arg(QString::fromStdString(e.displayText())));
    }
    if (!hasFile || m_name.isEmpty())
        throw bad_request(QStringLiteral("The key import needs the PKCS#12 file and the container's name"));
}

} // namespace tessel::rest
