// The single-field assembly gives the same picture as laying both fields and interpolating one,
// for widths on both sides of the vector blocks and for both field orders.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "control/field_assembly.h"

namespace kaptor::control {
namespace {

TEST(FieldAssembly, SingleFieldEqualsBothFieldsThenInterpolation) {
    const struct {
        std::size_t width, lines;
    } cases[] = {{1, 2}, {3, 6}, {31, 4}, {32, 4}, {33, 8}, {64, 2}, {70, 10}, {640, 496}};
    std::mt19937 random(7);
    for (const auto& c : cases) {
        std::vector<std::uint8_t> received(c.width * c.lines);
        for (auto& byte : received) {
            byte = static_cast<std::uint8_t>(random());
        }
        for (const std::int32_t inversion : {0, 1, 2, 3}) {
            // Old content above the frame must not leak into either result.
            std::vector<std::uint8_t> expected(received.size() + c.width, 0xCC);
            std::vector<std::uint8_t> fused(received.size() + c.width, 0x33);
            assembleFields(received.data(), expected.data(), c.width, c.lines, inversion);
            interpolateSingleField(expected.data(), c.width, c.lines);
            assembleSingleField(received.data(), fused.data(), c.width, c.lines, inversion);
            expected.resize(received.size());
            fused.resize(received.size());
            EXPECT_EQ(fused, expected)
                << c.width << " x " << c.lines << ", inversion " << inversion;
        }
    }
}

TEST(FieldAssembly, TruncatedMeanOfEveryPairOfBytes) {
    // Two rows of 65536 pairs, in a frame of three rows; the middle row takes their mean.
    constexpr std::size_t width = 65536;
    std::vector<std::uint8_t> image(3 * width);
    for (std::size_t i = 0; i < width; ++i) {
        image[i] = static_cast<std::uint8_t>(i);
        image[2 * width + i] = static_cast<std::uint8_t>(i >> 8);
    }
    interpolateSingleField(image.data(), width, 3);
    for (std::size_t i = 0; i < width; ++i) {
        ASSERT_EQ(image[width + i], ((i & 0xFF) + (i >> 8)) / 2) << i;
    }
}

}  // namespace
}  // namespace kaptor::control
