#include "document_archive.h"

#include <Poco/DateTime.h>
#include <Poco/Path.h>
#include <Poco/Zip/Compress.h>

#include <fstream>
#include <stdexcept>

namespace standin {

void writeDocumentArchive(const std::filesystem::path& archive, const std::filesystem::path& document,
                          const std::vector<std::string>& entries)
{
    std::ofstream out(archive, std::ios::binary | std::ios::trunc);
    Poco::Zip::Compress zip(out, true);
    for (const std::string& entry : entries) {
        std::ifstream in(document / entry, std::ios::binary);
        if (!in)
            throw std::runtime_error("cannot read " + (document / entry).string());
        zip.addFile(in, Poco::DateTime(), Poco::Path(entry, Poco::Path::PATH_UNIX), Poco::Zip::ZipCommon::CM_DEFLATE,
                    Poco::Zip::ZipCommon::CL_NORMAL);
    }
    zip.close();
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + archive.string());
}

} // namespace standin
