#include "body_digest.h"

#include "sha256.h"

#include <vector>

namespace standin {

QJsonObject digestBody(RequestBody& body)
{
    Sha256 digest;
    std::vector<char> buffer(65536);
    qint64 length = 0;
    while (const std::size_t count = body.read(buffer.data(), buffer.size())) {
        digest.update(buffer.data(), count);
        length += static_cast<qint64>(count);
    }
    return QJsonObject{{"bodyLength", length}, {"bodySha256", QString::fromStdString(digest.hexDigest())}};
}

} // namespace standin
