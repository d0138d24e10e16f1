#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace standin {

// The portal's test byte stream: splitmix64 from seed 0, each 64-bit value written
// little-endian. Every answer that sends N test bytes sends the first N of this stream, so a
// client can recompute what it should have received.
class PseudoRandomBytes
{
public:
    void fill(char* out, std::size_t size);
    // The next size bytes, handed to sink in pieces of at most 64 KiB.
    void generate(std::uint64_t size, const std::function<void(const char*, std::size_t)>& sink);

private:
    std::uint64_t nextWord();

    std::uint64_t m_state = 0;
    std::uint64_t m_word = 0;
    unsigned m_bytesLeftInWord = 0;
};

} // namespace standin
