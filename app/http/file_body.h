#pragma once

#include <QMimeDatabase>

class QFile;

namespace Poco::Net {
class HTTPServerResponse;
}

namespace tessel {

// Shared by every thread that names content types.
QMimeDatabase& mimeDatabase();

// Opens the file for reading; when that fails, answers 500 "Can't get file" and returns false.
bool openForAnswer(QFile& file, Poco::Net::HTTPServerResponse& response);

// Sends the open file with its Content-Length, in 4096-byte blocks, so no file is held whole.
void sendFileBody(QFile& file, const QString& contentType, Poco::Net::HTTPServerResponse& response);

} // namespace tessel
