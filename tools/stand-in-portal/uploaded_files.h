#pragma once

#include "request_body.h"
#include "scratch_file.h"

#include <Poco/Net/HTTPRequest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace standin {

struct UploadedFile
{
    std::string name;
    std::string fileName; // empty for a part that is no file
    std::string contentType;
    std::unique_ptr<ScratchFile> content;
};

// Every part of a multipart/form-data body, each streamed into a scratch file in directory.
// HttpError 400 for a body that is no such form or a part that is not form-data.
std::vector<UploadedFile> receiveFormParts(const Poco::Net::HTTPRequest& request, RequestBody& body,
                                           const std::filesystem::path& directory);

// The file parts of a multipart/form-data body, each streamed into a scratch file in directory.
// HttpError 400 for a body that is no such form or a part without a file name.
std::vector<UploadedFile> receiveUploadedFiles(const Poco::Net::HTTPRequest& request, RequestBody& body,
                                               const std::filesystem::path& directory);

} // namespace standin
