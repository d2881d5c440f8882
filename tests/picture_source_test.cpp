// What the simulated board sends and how it queues it: the chart sampled once and served again,
// the driver's queue as a ring, files that would never end.
#include <gtest/gtest.h>

#include <deque>
#include <random>

#include "boardsim/picture_source.h"
#include "platform/byte_ring.h"

namespace kaptor::boardsim {
namespace {

TEST(PictureSource, SampledOnceServesWhatSamplingEveryFrameGives) {
    BoardRegisters example;  // 640 x 496 interlaced
    example.frontEnd[7] = 128;
    example.frontEnd[10] = 64;
    BoardRegisters progressive = example;
    progressive.control = 0;
    progressive.activeLines = 250;
    BoardRegisters shifted = example;
    shifted.horizontalPosition = 90;
    shifted.activePixels = 701;
    shifted.frontEnd[7] = 200;
    const struct {
        const char* what;
        BoardRegisters registers;
        std::uint64_t frame;
    } sequence[] = {
        {"first frame", example, 0},      {"the disc moves", example, 1},
        {"far on", example, 17},          {"back to the first", example, 0},
        {"progressive", progressive, 18}, {"other geometry and gain", shifted, 19},
        {"and on", shifted, 20},          {"example again", example, 21},
    };
    const auto chart = makeTestChart();
    const auto source = makeSampledSource(makeTestChart());
    for (const auto& step : sequence) {
        const FrameBytes served = source->frame(step.registers, step.frame);
        EXPECT_EQ(*served, sampleFrame(*chart, step.registers, step.frame)) << step.what;
    }
}

// The chart's bytes as the x86_64 build draws them, so every architecture (32-bit x86 with its
// x87 unit, Windows, others) must draw the same: FNV-1a of whole frames across geometries.
TEST(PictureSource, TheChartIsTheSameOnEveryArchitecture) {
    const auto registers = [](std::uint32_t pixels, std::uint32_t lines, std::uint32_t total,
                              std::uint32_t horizontal, std::uint32_t vertical, bool interlaced,
                              std::uint8_t gain, std::uint8_t offset) {
        BoardRegisters r;
        r.activePixels = pixels;
        r.activeLines = lines;
        r.pllTotal = total;
        r.horizontalPosition = horizontal;
        r.verticalPosition = vertical;
        r.control = interlaced ? 0x40 : 0;
        r.frontEnd[7] = gain;
        r.frontEnd[10] = offset;
        return r;
    };
    const struct {
        const char* what;
        BoardRegisters registers;
        std::uint64_t frame;
        std::uint64_t fnv;
    } cases[] = {
        {"640 x 496 interlaced", registers(640, 496, 800, 120, 20, true, 128, 64), 0,
         6479475374420040767u},
        {"the disc moved", registers(640, 496, 800, 120, 20, true, 128, 64), 7,
         8664748081147762021u},
        {"320 x 240 single field", registers(320, 240, 400, 60, 20, false, 128, 64), 0,
         14893681834993937958u},
        {"701 wide, gain and offset", registers(701, 497, 853, 90, 23, true, 200, 40), 3,
         8729424281566091344u},
        {"odd total, far right", registers(1023, 300, 1777, 400, 11, false, 97, 90), 12,
         3480327920900122718u},
        {"narrow, dark", registers(97, 61, 131, 17, 2, true, 30, 0), 1, 3859851304160690415u},
    };
    for (const auto& c : cases) {
        std::uint64_t fnv = 14695981039346656037u;
        for (const std::uint8_t b : sampleFrame(*makeTestChart(), c.registers, c.frame)) {
            fnv = (fnv ^ b) * 1099511628211u;
        }
        EXPECT_EQ(fnv, c.fnv) << c.what;
    }
}

TEST(PictureSource, FilesBeyond64MiBAreRefused) {
    std::string error;
    EXPECT_EQ(makeReplaySource("/dev/zero", error), nullptr);
    EXPECT_EQ(error, "/dev/zero is larger than 64 MiB");
    error.clear();
    EXPECT_EQ(loadSceneFile("/dev/zero", error), nullptr);
    EXPECT_EQ(error, "/dev/zero is larger than 64 MiB");
    error.clear();
    EXPECT_EQ(makeReplaySource("/nonexistent/replay.bin", error), nullptr);
    EXPECT_EQ(error, "cannot read /nonexistent/replay.bin");
}

TEST(ByteRing, KeepsOrderAcrossWrapsAndGrowth) {
    platform::ByteRing ring;
    std::deque<std::uint8_t> model;
    std::mt19937 random(3);
    std::uint8_t next = 0;
    std::vector<std::uint8_t> out(10000);
    for (int step = 0; step < 2000; ++step) {
        // Mostly pushes of up to 3000 bytes against pops of up to 3000, so the ring wraps
        // often and grows now and then.
        const std::size_t count = random() % 3000;
        if (random() % 2 == 0) {
            std::vector<std::uint8_t> bytes(count);
            for (auto& b : bytes) {
                b = next++;
            }
            ring.push(bytes.data(), count);
            model.insert(model.end(), bytes.begin(), bytes.end());
        } else {
            const std::size_t n = ring.pop(out.data(), count);
            ASSERT_EQ(n, std::min(count, model.size()));
            ASSERT_TRUE(std::equal(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n),
                                   model.begin()));
            model.erase(model.begin(), model.begin() + static_cast<std::ptrdiff_t>(n));
        }
        ASSERT_EQ(ring.size(), model.size());
        if (step % 500 == 499) {
            ring.clear();
            model.clear();
        }
    }
}

}  // namespace
}  // namespace kaptor::boardsim
