#include "uploaded_files.h"

#include "http_error.h"
#include "request_body_stream_buffer.h"

#include <Poco/Exception.h>
#include <Poco/Net/MessageHeader.h>
#include <Poco/Net/MultipartReader.h>
#include <Poco/Net/NameValueCollection.h>
#include <Poco/StreamCopier.h>

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

std::string partFileName(const Poco::Net::MessageHeader& header)
{
    std::string disposition;
    Poco::Net::NameValueCollection parameters;
    Poco::Net::MessageHeader::splitParameters(header.get("Content-Disposition", ""), disposition, parameters);
    const std::string fileName = parameters.get("filename", "");
    if (Poco::icompare(disposition, "form-data") != 0 || fileName.empty())
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST,
                        "every part must be a form-data file part with a file name, got: "
                            + header.get("Content-Disposition", "(no Content-Disposition)"));
    return fileName;
}

} // namespace

std::vector<UploadedFile> receiveUploadedFiles(const Poco::Net::HTTPRequest& request, RequestBody& body,
                                               const std::filesystem::path& directory)
{
    const std::string boundary = formBoundary(request);
    RequestBodyStreamBuffer buffer(body);
    std::istream in(&buffer);
    std::vector<UploadedFile> files;
    try {
        Poco::Net::MultipartReader reader(in, boundary);
        while (reader.hasNextPart()) {
            if (files.size() == kMaxParts)
                throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "a form may hold at most 1000 files");
            Poco::Net::MessageHeader header;
            reader.nextPart(header);
            // The reader takes the end of the body for a part without header.
            if (header.empty() && (in.eof() || in.bad()))
                throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "malformed form: the body ends before the closing boundary");
            UploadedFile file{partFileName(header), std::make_unique<ScratchFile>(directory, "upload")};
            std::ofstream out(file.content->path(), std::ios::binary | std::ios::trunc);
            Poco::StreamCopier::copyStream64(reader.stream(), out, 65536);
            if (!out.flush())
                throw std::runtime_error("cannot write " + file.content->path().string());
            files.push_back(std::move(file));
        }
    } catch (const Poco::Exception& e) {
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "malformed form: " + e.displayText());
    }
    if (in.bad())
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "malformed form: the body ended early");
    return files;
}

} // namespace standin
