#include "uploaded_files.h"

#include "http_error.h"
#include "multipart_form_reader.h"

#include <Poco/Net/MessageHeader.h>
#include <Poco/Net/NameValueCollection.h>
#include <Poco/String.h>

#include <fstream>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

constexpr std::size_t kMaxParts = 1000;

std::string formBoundary(const Poco::Net::HTTPRequest& request)
{
    std::string mediaType;
    Poco::Net::NameValueCollection parameters;
    Poco::Net::MessageHeader::splitParameters(request.getContentType(), mediaType, parameters);
    const std::string boundary = parameters.get("boundary", "");
    if (Poco::icompare(mediaType, "multipart/form-data") != 0 || boundary.empty())
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "the body must be a multipart/form-data form with a boundary");
    return boundary;
}

UploadedFile describedPart(const Poco::Net::MessageHeader& header, const std::filesystem::path& directory)
{
    std::string disposition;
    Poco::Net::NameValueCollection parameters;
    Poco::Net::MessageHeader::splitParameters(header.get("Content-Disposition", ""), disposition, parameters);
    if (Poco::icompare(disposition, "form-data") != 0)
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST,
                        "every part must be a form-data part, got: "
                            + header.get("Content-Disposition", "(no Content-Disposition)"));
    return UploadedFile{parameters.get("name", ""), parameters.get("filename", ""), header.get("Content-Type", ""),
                        std::make_unique<ScratchFile>(directory, "upload")};
}

} // namespace

std::vector<UploadedFile> receiveFormParts(const Poco::Net::HTTPRequest& request, RequestBody& body,
                                           const std::filesystem::path& directory)
{
    MultipartFormReader reader(body, formBoundary(request));
    std::vector<UploadedFile> parts;
    Poco::Net::MessageHeader header;
    while (reader.nextPart(header)) {
        if (parts.size() == kMaxParts)
            throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "a form may hold at most 1000 files");
        UploadedFile part = describedPart(header, directory);
        std::ofstream out(part.content->path(), std::ios::binary | std::ios::trunc);
        reader.readPart(
            [&out](const char* data, std::size_t size) { out.write(data, static_cast<std::streamsize>(size)); });
        if (!out.flush())
            throw std::runtime_error("cannot write " + part.content->path().string());
        parts.push_back(std::move(part));
    }
    return parts;
}

std::vector<UploadedFile> receiveUploadedFiles(const Poco::Net::HTTPRequest& request, RequestBody& body,
                                               const std::filesystem::path& directory)
{
    std::vector<UploadedFile> files = receiveFormParts(request, body, directory);
    for (const UploadedFile& file : files) {
        if (file.fileName.empty())
            throw HttpError(HTTPResponse::HTTP_BAD_REQUEST,
                            "every part must be a file part with a file name, got: " + file.name);
    }
    return files;
}

} // namespace standin
