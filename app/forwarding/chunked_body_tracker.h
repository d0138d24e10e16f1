#pragma once

#include "http/chunked_framing.h"

#include <cstddef>

namespace tessel {

// Follows the framing of a chunked body as its bytes pass, so that the end is found exactly
// wherever the reads cut it.
class ChunkedBodyTracker
{
public:
    // Consumes bytes up to the end of the body; returns how many it took.
    std::size_t feed(const char* data, std::size_t size);

    bool finished() const { return m_framing.finished(); }
    // The bytes cannot be a chunked body; nothing after them can be decoded.
    bool failed() const { return m_framing.failed(); }

private:
    http::ChunkedFraming m_framing;
};

} // namespace tessel
