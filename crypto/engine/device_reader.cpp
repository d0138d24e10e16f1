#include "crypto/engine/device_reader.h"

#include <QByteArray>
#include <QIODevice>

namespace nxcrypto {

namespace {
constexpr qint64 chunkSize = 1024 * 1024;
}

bool readInChunks(QIODevice* device, const std::function<void(const char* data, qint64 size)>& consume)
{
    QByteArray buffer(static_cast<int>(chunkSize), Qt::Uninitialized);
    for (;;) {
        const qint64 count = device->read(buffer.data(), chunkSize);
        if (count > 0) {
            consume(buffer.constData(), count);
            continue;
        }
        return count == 0 && device->atEnd();
    }
}

} // namespace nxcrypto
