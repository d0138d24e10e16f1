#include "pseudo_random_bytes.h"

#include <algorithm>
#include <array>

namespace standin {

void PseudoRandomBytes::fill(char* out, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        if (m_bytesLeftInWord == 0) {
            m_word = nextWord();
            m_bytesLeftInWord = 8;
        }
        out[i] = static_cast<char>(m_word & 0xFF);
        m_word >>= 8;
        --m_bytesLeftInWord;
    }
}

void PseudoRandomBytes::generate(std::uint64_t size, const std::function<void(const char*, std::size_t)>& sink)
{
    std::array<char, 65536> piece;
    for (std::uint64_t left = size; left > 0;) {
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(left, piece.size()));
        fill(piece.data(), count);
        sink(piece.data(), count);
        left -= count;
    }
}

std::uint64_t PseudoRandomBytes::nextWord()
{
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

} // namespace standin
