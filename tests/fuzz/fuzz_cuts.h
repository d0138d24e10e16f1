#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

// Where the reads of a stream end, drawn from one byte of the input: the harnesses that check a
// reader against every way its input is cut get the cuts without spending the data on them.
class FuzzCuts
{
public:
    explicit FuzzCuts(std::uint8_t seed) : m_random(seed + 1u) {}

    // A read of 1 to most bytes.
    std::size_t next(std::size_t most)
    {
        // Mostly short reads, where the cuts fall inside the framing, sometimes all that is left.
        const std::size_t size = m_random() % 4 == 0 ? most : 1 + m_random() % 8;
        return size < most ? size : most;
    }

private:
    std::minstd_rand m_random;
};
