#include <gtest/gtest.h>

#include <vector>

#include "usb/cmd/BitRange.h"

namespace Tessor::usb {
namespace {

// Every range of a 40-unit map, against a bit-by-bit model.
TEST(BitRange, RangesAgreeWithSingleBitsAcrossByteBorders)
{
    std::vector<unsigned char> bits(5, 0);
    BitRange::fill(bits.data(), 3, 7, true);     // units 3..9
    BitRange::set(bits.data(), 33);
    EXPECT_EQ(bits[0], 0xF8);
    EXPECT_EQ(bits[1], 0x03);
    EXPECT_EQ(bits[4], 0x02);
    for (int first = 0; first < 40; ++first) {
        for (int count = 0; first + count <= 40; ++count) {
            int64_t expected = 0;
            for (int u = first; u < first + count; ++u) {
                expected += BitRange::test(bits.data(), u);
            }
            ASSERT_EQ(BitRange::countSet(bits.data(), first, count), expected) << first << "+" << count;
            ASSERT_EQ(BitRange::anySet(bits.data(), first, count), expected > 0) << first << "+" << count;
        }
    }
    BitRange::fill(bits.data(), 1, 38, false);
    EXPECT_EQ(BitRange::countSet(bits.data(), 0, 40), 0);
    EXPECT_EQ(BitRange::readWord(bits.data(), 0, 16), 0u);
}

}  // namespace
}  // namespace Tessor::usb
