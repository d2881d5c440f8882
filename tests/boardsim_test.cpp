// The simulated board answers as a real driver and board would, on the virtual clock.
#include <gtest/gtest.h>

#include "boardsim/board.h"
#include "control/bmp_file.h"
#include "tests/support/rig.h"

namespace kaptor::boardsim {
namespace {

using d2xx::FT_DEVICE_NOT_FOUND;
using d2xx::FT_DEVICE_NOT_OPENED;
using d2xx::FT_INVALID_HANDLE;
using d2xx::FT_IO_ERROR;
using d2xx::FT_OK;

struct Fixture {
    explicit Fixture(SimConfig config = {}, std::vector<std::uint8_t> frame = {})
        : board(config, clock, frame.empty() ? nullptr : makeBytesSource(std::move(frame))) {}
    FT_HANDLE open() {
        FT_HANDLE handle = nullptr;
        EXPECT_EQ(board.openByDescription("LUMENFRAME USB 1.0", &handle), FT_OK);
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

TEST(Board, DriverAnswers) {
    Fixture f;
    FT_HANDLE none = nullptr;
    EXPECT_EQ(f.board.openByDescription("OTHER BOARD", &none), FT_DEVICE_NOT_FOUND);
    const FT_HANDLE h = f.open();
    FT_HANDLE second = nullptr;
    EXPECT_EQ(f.board.openByDescription("LUMENFRAME USB 1.0", &second), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(f.board.close(h), FT_OK);
    DWORD count = 7;
    std::uint8_t byte = 0;
    EXPECT_EQ(f.write(h, {'A'}), 0u);  // a closed handle writes nothing
    EXPECT_EQ(f.board.read(h, &byte, 1, &count), FT_INVALID_HANDLE);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(f.board.getQueueStatus(h, &count), FT_INVALID_HANDLE);
    const FT_HANDLE again = f.open();
    EXPECT_NE(again, h);  // the old handle stays invalid
    EXPECT_EQ(f.board.resetDevice(h), FT_INVALID_HANDLE);

    SimConfig absent;
    absent.faults.noDevice = true;
    Fixture g(absent);
    EXPECT_EQ(g.board.openByDescription("LUMENFRAME USB 1.0", &none), FT_DEVICE_NOT_FOUND);
}

TEST(Board, ReadsWaitForBytesUntilTheirTimeOut) {
    Fixture f({}, std::vector<std::uint8_t>(1000, 7));
    const FT_HANDLE h = f.open();
    std::uint8_t buffer[2000];
    DWORD got = 0;
    // Before any FT_SetTimeouts a read still returns, after the default second.
    EXPECT_EQ(f.board.read(h, buffer, 1, &got), FT_OK);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(f.clock.clock(), 1000);
    f.board.setTimeouts(h, 300, 300);
    f.board.purge(h, d2xx::FT_PURGE_RX);
    EXPECT_EQ(f.board.read(h, buffer, 1, &got), FT_OK);
    EXPECT_EQ(buffer[0], 0xA5);  // an idle board announces itself after a purge
    // A frame split over two writes starts when its last byte arrives: 'A' is one byte.
    EXPECT_EQ(f.write(h, {'B', 0x00}), 2u);
    EXPECT_EQ(f.write(h, {0x10, 'A'}), 2u);
    EXPECT_EQ(f.board.registers().activePixels, 16u);
    EXPECT_EQ(f.board.capturesStarted(), 1u);
    f.board.purge(h, d2xx::FT_PURGE_RX);  // no announce while a frame is on its way
    const std::int64_t start = f.clock.nowMicros();
    EXPECT_EQ(f.board.read(h, buffer, 512, &got), FT_OK);
    EXPECT_EQ(got, 512u);
    // 20 ms to the next field, then 512 bytes at 1 MB/s.
    EXPECT_NEAR(static_cast<double>(f.clock.nowMicros() - start), 20000 + 512, 2);
    EXPECT_EQ(f.board.read(h, buffer, 1000, &got), FT_OK);
    EXPECT_EQ(got, 488u);  // the rest, when the time-out passed
    EXPECT_NEAR(static_cast<double>(f.clock.nowMicros() - start), 20512 + 300000, 2);
}

TEST(Board, ResetEmptiesTheQueueButTheFrameGoesOn) {
    Fixture f({}, std::vector<std::uint8_t>(200000, 1));
    const FT_HANDLE h = f.open();
    f.board.setTimeouts(h, 300, 300);
    f.write(h, {'A'});
    f.clock.advanceMillis(70);  // 50 ms of sending
    f.board.resetDevice(h);
    f.clock.advanceMillis(10);
    DWORD queued = 0;
    EXPECT_EQ(f.board.getQueueStatus(h, &queued), FT_OK);
    EXPECT_EQ(queued, 10000u);
    f.clock.advanceMillis(1000);  // the driver buffer fills and the board waits
    EXPECT_EQ(f.board.getQueueStatus(h, &queued), FT_OK);
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
    EXPECT_EQ(config.faults.writeZeroAt, 3u);
    EXPECT_TRUE(config.faults.silent);
    EXPECT_EQ(config.faults.disconnectAt, 500u);
    EXPECT_EQ(config.faults.readStatus, 4u);
    for (const char* bad : {"write-zero-at=0", "nonsense", "silent=1", "short-frame=x"}) {
        error.clear();
        configFromEnvironment(env(bad), error);
        EXPECT_NE(error.find(bad), std::string::npos) << bad;
    }

    SimConfig cut;
    cut.faults.disconnectAt = 600;
    Fixture f(cut, std::vector<std::uint8_t>(1000, 3));
    const FT_HANDLE h = f.open();
    f.board.setTimeouts(h, 300, 300);
    f.write(h, {'A'});
    std::uint8_t buffer[512];
    DWORD got = 0;
    EXPECT_EQ(f.board.read(h, buffer, 512, &got), FT_OK);
    EXPECT_EQ(f.board.read(h, buffer, 512, &got), FT_IO_ERROR);
    EXPECT_EQ(got, 0u);
    DWORD queued = 0;
    EXPECT_EQ(f.board.getQueueStatus(h, &queued), FT_IO_ERROR);
}

// A captured picture used as the scene gives the same picture again: the sampling puts every
// pixel of the scene where the geometry says and the fields in their order.
TEST(Board, ACapturedPictureAsSceneCapturesTheSame) {
    test::Rig first;
    first.initialise(test::EXAMPLE_CONFIG);
    first.ctrl->Toma();
    const auto picture = first.drivePath("KAPTOR/Imagen1.BMP");

    test::RigOptions options;
    options.sim.scenePath = picture.string();
    test::Rig second(options);
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

}  // namespace
}  // namespace kaptor::boardsim
