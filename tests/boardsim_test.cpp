// The simulated board answers as a real driver and board would, on the virtual clock; what it
// sends (the chart sampled once and served again) and how it queues it (the driver's queue as a
// ring); files that would never end.
#include <gtest/gtest.h>

#include <deque>
#include <random>

#include "boardsim/board.h"
#include "boardsim/picture_source.h"
#include "platform/byte_ring.h"
#include "tests/support/rig.h"

namespace kaptor::boardsim {
namespace {

struct Fixture {
    explicit Fixture(SimConfig config = {}, std::vector<std::uint8_t> frame = {})
        : board(config, clock, frame.empty() ? nullptr : makeBytesSource(std::move(frame))) {}
    FT_HANDLE open() {
        FT_HANDLE handle = nullptr;
        EXPECT_EQ(board.openByDescription("LUMENFRAME USB 1.0", &handle), d2xx::FT_OK);
        return handle;
    }
    DWORD write(FT_HANDLE h, std::vector<std::uint8_t> bytes) {
        DWORD written = 99;
        board.write(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written);
        return written;
    }
    platform::VirtualClock clock;
    Board board;
};

// One device, opened once at a time by its description; reads wait for their bytes until their
// time-out; a closed handle stays invalid.
TEST(Board, HandlesAndReadsThatWaitForBytesUntilTheirTimeOut) {
    Fixture f({}, std::vector<std::uint8_t>(1000, 7));
    FT_HANDLE other = nullptr;
    EXPECT_EQ(f.board.openByDescription("OTHER BOARD", &other), d2xx::FT_DEVICE_NOT_FOUND);
    const FT_HANDLE h = f.open();
    EXPECT_EQ(f.board.openByDescription("LUMENFRAME USB 1.0", &other), d2xx::FT_DEVICE_NOT_OPENED);
    std::uint8_t buffer[2000];
    DWORD got = 0;
    // Before any FT_SetTimeouts a read still returns, after the default second.
    EXPECT_EQ(f.board.read(h, buffer, 1, &got), d2xx::FT_OK);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(f.clock.clock(), 1000);
    f.board.setTimeouts(h, 300, 300);
    f.board.purge(h, d2xx::FT_PURGE_RX);
    EXPECT_EQ(f.board.read(h, buffer, 1, &got), d2xx::FT_OK);
    EXPECT_EQ(buffer[0], 0xA5);  // an idle board announces itself after a purge
    // A frame split over two writes starts when its last byte arrives: 'A' is one byte.
    EXPECT_EQ(f.write(h, {'B', 0x00}), 2u);
    EXPECT_EQ(f.write(h, {0x10, 'A'}), 2u);
    EXPECT_EQ(f.board.registers().activePixels, 16u);
    EXPECT_EQ(f.board.capturesStarted(), 1u);
    f.board.purge(h, d2xx::FT_PURGE_RX);  // no announce while a frame is on its way
    const std::int64_t start = f.clock.nowMicros();
    EXPECT_EQ(f.board.read(h, buffer, 512, &got), d2xx::FT_OK);
    EXPECT_EQ(got, 512u);
    // 20 ms to the next field, then 512 bytes at 1 MB/s.
    EXPECT_NEAR(static_cast<double>(f.clock.nowMicros() - start), 20000 + 512, 2);
    EXPECT_EQ(f.board.read(h, buffer, 1000, &got), d2xx::FT_OK);
    EXPECT_EQ(got, 488u);  // the rest, when the time-out passed
    EXPECT_NEAR(static_cast<double>(f.clock.nowMicros() - start), 20512 + 300000, 2);

    EXPECT_EQ(f.board.close(h), d2xx::FT_OK);
    EXPECT_EQ(f.write(h, {'A'}), 0u);  // a closed handle writes nothing
    EXPECT_EQ(f.board.read(h, buffer, 1, &got), d2xx::FT_INVALID_HANDLE);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(f.board.getQueueStatus(h, &got), d2xx::FT_INVALID_HANDLE);
    EXPECT_NE(f.open(), h);  // the old handle stays invalid
    EXPECT_EQ(f.board.resetDevice(h), d2xx::FT_INVALID_HANDLE);
}

TEST(Board, ResetEmptiesTheQueueButTheFrameGoesOn) {
    Fixture f({}, std::vector<std::uint8_t>(200000, 1));
    const FT_HANDLE h = f.open();
    f.write(h, {'A'});
    f.clock.advanceMillis(70);  // 50 ms of sending
    f.board.resetDevice(h);
    f.clock.advanceMillis(10);
    DWORD queued = 0;
    EXPECT_EQ(f.board.getQueueStatus(h, &queued), d2xx::FT_OK);
    EXPECT_EQ(queued, 10000u);
    f.clock.advanceMillis(1000);  // the driver buffer fills and the board waits
    EXPECT_EQ(f.board.getQueueStatus(h, &queued), d2xx::FT_OK);
    EXPECT_EQ(queued, 65536u);
}

TEST(Board, FaultsFromTheEnvironment) {
    const auto env = [](const char* faults) {
        return [faults](const char* name) -> const char* {
            return std::string(name) == "KAPTOR_SIM_FAULTS" ? faults : nullptr;
        };
    };
    std::string error;
    const SimConfig config =
        configFromEnvironment(env("write-zero-at=3,silent,disconnect-at=500,read-status=4"), error);
    EXPECT_EQ(error, "");
    const FaultPlan& plan = config.faults;
    EXPECT_EQ(std::tuple(plan.writeZeroAt, plan.silent, plan.disconnectAt, plan.readStatus),
              std::tuple(3u, true, 500u, 4u));
    for (const char* bad : {"write-zero-at=0", "nonsense", "silent=1", "short-frame=x"}) {
        error.clear();
        configFromEnvironment(env(bad), error);
        EXPECT_NE(error.find(bad), std::string::npos) << bad;
    }

    Fixture f({.faults = {.disconnectAt = 600}}, std::vector<std::uint8_t>(1000, 3));
    const FT_HANDLE h = f.open();
    f.write(h, {'A'});
    std::uint8_t buffer[512];
    DWORD got = 0;
    EXPECT_EQ(f.board.read(h, buffer, 512, &got), d2xx::FT_OK);
    EXPECT_EQ(f.board.read(h, buffer, 512, &got), d2xx::FT_IO_ERROR);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(f.board.getQueueStatus(h, &got), d2xx::FT_IO_ERROR);
}

// A captured picture used as the scene gives the same picture again: the sampling puts every
// pixel of the scene where the geometry says and the fields in their order.
TEST(Board, ACapturedPictureAsSceneCapturesTheSame) {
    test::Rig first;
    first.initialise(test::EXAMPLE_CONFIG);
    first.ctrl->Toma();
    const auto picture = first.drivePath("KAPTOR/Imagen1.BMP");

    test::Rig second({.sim = {.scenePath = picture.string()}});
    second.initialise(test::EXAMPLE_CONFIG);
    second.ctrl->Toma();
    EXPECT_EQ(second.picture(), test::readBytes(picture));

    std::string error;
    const auto gray = first.drivePath("scene.pgm");
    test::writeFile(gray, std::string("P5\n# one gray\n2 2\n255\n") + "\x80\x80\x80\x80");
    ASSERT_TRUE(loadSceneFile(gray.string(), error)) << error;
    test::writeFile(gray, "P5\n2 2\n65535\n");
    EXPECT_FALSE(loadSceneFile(gray.string(), error));
}

// Registers as the control programs them: the geometry and control byte, then gain and offset.
BoardRegisters withFrontEnd(BoardRegisters r, std::uint8_t gain, std::uint8_t offset) {
    r.frontEnd[7] = gain;
    r.frontEnd[10] = offset;
    return r;
}

// The chart's bytes as the x86_64 build draws them, so every architecture (32-bit x86 with its
// x87 unit, Windows, others) must draw the same: FNV-1a of whole frames across geometries. They
// come in turn from one source, which samples the chart once for each geometry and then draws
// again only what the moving disc touches, so it must serve what sampling every frame gives.
TEST(PictureSource, TheChartIsTheSameOnEveryArchitecture) {
    // Pixels, horizontal position, lines, vertical position, PLL total, control byte.
    using R = BoardRegisters;
    const BoardRegisters example = withFrontEnd(R{640, 120, 496, 20, 800, 0x40}, 128, 64);
    const BoardRegisters wide = withFrontEnd(R{701, 90, 497, 23, 853, 0x40}, 200, 40);
    const struct {
        BoardRegisters registers;
        std::uint64_t frame;
        std::uint64_t fnv;
    } cases[] = {
        // 640 x 496 interlaced, with the disc moved, and back to the first frame.
        {example, 0, 6479475374420040767u},
        {example, 7, 8664748081147762021u},
        {example, 0, 6479475374420040767u},
        // 320 x 240, a single field.
        {withFrontEnd(R{320, 60, 240, 20, 400, 0}, 128, 64), 0, 14893681834993937958u},
        // 701 wide, with other gain and offset; then the disc moves in that geometry.
        {wide, 3, 8729424281566091344u},
        {wide, 4, 9071546773744562764u},
        // An odd total, far to the right.
        {withFrontEnd(R{1023, 400, 300, 11, 1777, 0}, 97, 90), 12, 3480327920900122718u},
        // Narrow and dark.
        {withFrontEnd(R{97, 17, 61, 2, 131, 0x40}, 30, 0), 1, 3859851304160690415u},
    };
    const auto source = makeSampledSource(makeTestChart());
    for (const auto& c : cases) {
        const FrameBytes frame = source->frame(c.registers, c.frame);
        std::uint64_t fnv = 14695981039346656037u;
        for (const std::uint8_t b : *frame) {
            fnv = (fnv ^ b) * 1099511628211u;
        }
        EXPECT_EQ(fnv, c.fnv) << c.registers.activePixels << " pixels, frame " << c.frame;
    }
}

TEST(PictureSource, FilesBeyond64MiBAreRefused) {
    // In an order where a message left from the call before never passes for the next one's.
    std::string error;
    EXPECT_EQ(loadSceneFile("/dev/zero", error), nullptr);
    EXPECT_EQ(error, "/dev/zero is larger than 64 MiB");
    EXPECT_EQ(makeReplaySource("/nonexistent/replay.bin", error), nullptr);
    EXPECT_EQ(error, "cannot read /nonexistent/replay.bin");
    EXPECT_EQ(makeReplaySource("/dev/zero", error), nullptr);
    EXPECT_EQ(error, "/dev/zero is larger than 64 MiB");
}

TEST(ByteRing, KeepsOrderAcrossWrapsAndGrowth) {
    platform::ByteRing ring;
    std::deque<std::uint8_t> model;
    std::mt19937 random(3);
    std::vector<std::uint8_t> out(10000);
    for (int step = 0; step < 2000; ++step) {
        // Mostly pushes of up to 3000 bytes against pops of up to 3000, so the ring wraps
        // often and grows now and then.
        const std::size_t count = random() % 3000;
        if (random() % 2 == 0) {
            std::vector<std::uint8_t> bytes(count);
            // Not a counter: with a capacity that is a multiple of 256, a byte left from an
            // earlier lap would equal a counter's new byte and hide a wrap that skips a copy.
            for (auto& b : bytes) {
                b = static_cast<std::uint8_t>(random());
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
    }
}

}  // namespace
}  // namespace kaptor::boardsim
