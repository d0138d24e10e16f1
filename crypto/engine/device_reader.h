#pragma once

#include <QtGlobal>

#include <functional>

class QIODevice;

namespace nxcrypto {

// Reads the device to its end in pieces of at most one MiB, giving each to consume,
// so that a file is never held whole in memory. False when the device failed or
// stopped before its end (a read that gave nothing while not at the end).
bool readInChunks(QIODevice* device, const std::function<void(const char* data, qint64 size)>& consume);

} // namespace nxcrypto
