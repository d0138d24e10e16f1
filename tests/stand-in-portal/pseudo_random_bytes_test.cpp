#include "tools/stand-in-portal/pseudo_random_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Clients recompute the portal's test bytes from this definition: splitmix64 from seed 0,
// little-endian words. The first word of that generator is 0xe220a8397b1dcdaf.
TEST(PseudoRandomBytes, StartsWithTheFirstSplitmix64WordLittleEndian)
{
    standin::PseudoRandomBytes bytes;
    unsigned char first[8];
    bytes.fill(reinterpret_cast<char*>(first), sizeof first);
    const unsigned char expected[8] = {0xaf, 0xcd, 0x1d, 0x7b, 0x39, 0xa8, 0x20, 0xe2};
    EXPECT_EQ(std::memcmp(first, expected, sizeof first), 0);
}

TEST(PseudoRandomBytes, PiecesOfAnySizeContinueOneStream)
{
    constexpr std::size_t kTotal = 200000;
    std::vector<char> whole(kTotal);
    standin::PseudoRandomBytes().fill(whole.data(), whole.size());

    std::vector<char> pieces;
    standin::PseudoRandomBytes generator;
    const std::size_t sizes[] = {1, 3, 7, 8, 9, 65536, 65537};
    for (std::size_t i = 0; pieces.size() < kTotal; ++i) {
        const std::size_t size = std::min(sizes[i % std::size(sizes)], kTotal - pieces.size());
        std::vector<char> piece(size);
        generator.fill(piece.data(), size);
        pieces.insert(pieces.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(pieces, whole);

    std::vector<char> generated;
    standin::PseudoRandomBytes().generate(kTotal, [&generated](const char* data, std::size_t size) {
        EXPECT_LE(size, 65536u);
        generated.insert(generated.end(), data, data + size);
    });
    EXPECT_EQ(generated, whole);
}

} // namespace
