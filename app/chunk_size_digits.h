#pragma once

#include <QtGlobal>

#include <limits>

namespace tessel {

// The value of a hexadecimal digit of a chunk size line, or -1 for any other character.
inline int chunkSizeDigit(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

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
