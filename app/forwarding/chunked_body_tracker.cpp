#include "forwarding/chunked_body_tracker.h"

#include <algorithm>

namespace tessel {

std::size_t ChunkedBodyTracker::feed(const char* data, std::size_t size)
{
    std::size_t used = 0;
    while (used < size && !finished() && !failed()) {
        const std::int64_t count = std::min<std::int64_t>(m_framing.dataLeft(), std::int64_t(size - used));
        if (count > 0) {
            m_framing.takeData(count);
            used += std::size_t(count);
        } else {
            used += m_framing.readFraming(data + used, size - used);
        }
    }
    return used;
}

} // namespace tessel
