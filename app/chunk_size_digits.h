#pragma once

#include <QtGlobal>

#include <limits>

namespace tessel {

// Appends one digit to a chunk size; false when the size would no longer fit in 64 bits,
// which no real body reaches.
inline bool appendChunkSizeDigit(qint64& size, int digit)
{
    if (size > (std::numeric_limits<qint64>::max() >> 4))
        return false;
    size = size * 16 + digit;
    return true;
}

} // namespace tessel
