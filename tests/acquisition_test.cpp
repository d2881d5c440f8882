// Toma end to end on replayed streams: the bytes on the wire, their place in the picture file;
// and the single-field assembly against laying both fields and interpolating one, for widths on
// both sides of the vector blocks and for both field orders.
#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "control/bmp_file.h"
#include "control/field_assembly.h"
#include "control/messages.h"
#include "tests/support/rig.h"

namespace kaptor::control {
namespace {

using test::Rig;

std::string config(int width, int activeLines, int interlaced, int fieldInversion = 0,
                   int singleField = 0) {
    return "t1\r\nt2\r\n" + std::to_string(width) + "\r\n120\r\n" + std::to_string(activeLines) +
           "\r\n20\r\n800\r\n0\r\n" + std::to_string(interlaced) +
           "\r\n128\r\n64\r\n0\r\n10\r\n0\r\n" + std::to_string(fieldInversion) + "\r\n" +
           std::to_string(singleField) + "\r\n";
}

// The bytes 1, 2, 3, ... (modulo 256), in the order they are sent: where one lands in the
// picture shows where it came from.
std::vector<std::uint8_t> stream(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
    return bytes;
}

// The picture rows of a written file, bottom row first, without padding.
std::vector<std::vector<std::uint8_t>> fileRows(const std::vector<std::uint8_t>& file, int width,
                                                int lines) {
    std::vector<std::vector<std::uint8_t>> rows;
    for (int i = 0; i < lines; ++i) {
        const auto* row = file.data() + BMP_HEADER_SIZE + i * bmpRowStride(width);
        rows.emplace_back(row, row + width);
    }
    return rows;
}

// Inicializa and one Toma on a board that replays these bytes: the picture file, the messages
// and the exit status.
auto capture(std::vector<std::uint8_t> replay, const std::string& cfg) {
    Rig rig({.replay = std::move(replay)});
    const auto exit = rig.runUntilExit([&] {
        rig.initialise(cfg);
        rig.ctrl->Toma();
    });
    return std::tuple(rig.picture(), rig.person.texts(), exit);
}

// Where each received row lands, and the single field's interpolation, on a replayed frame.
TEST(Toma, ReplayedRowsLandWhereTheyBelong) {
    // Received rows R0..R5 of width 3; interlaced with inversion 0 the picture rows bottom-up are
    // R5 R2 R4 R1 R3 R0, and a single field replaces rows 1, 3, 5.
    const std::vector<std::uint8_t> frame = {
        9,   9,   9,   // R0 (top, replaced by a copy of row 4 = R3)
        7,   7,   7,   // R1
        8,   8,   8,   // R2
        10,  20,  30,  // R3: row 4
        0,   255, 2,   // R4: row 2
        255, 255, 1,   // R5: row 0
    };
    const std::vector<std::vector<std::uint8_t>> inverted = {
        {8, 8, 8}, {255, 255, 1}, {7, 7, 7}, {0, 255, 2}, {9, 9, 9}, {10, 20, 30}};
    const struct {
        const char* what;
        int singleField, interlaced, fieldInversion;
        std::vector<std::vector<std::uint8_t>> rows;
    } cases[] = {
        // clang-format off
        {"single field", 1, 1, 0,
         {{255, 255, 1}, {127, 255, 1}, {0, 255, 2}, {5, 137, 16}, {10, 20, 30}, {10, 20, 30}}},
        {"single field 2 and inversion 2 act as 0", 2, 1, 2,
         {{255, 255, 1}, {8, 8, 8}, {0, 255, 2}, {7, 7, 7}, {10, 20, 30}, {9, 9, 9}}},
        {"progressive: first received row on top", 1, 0, 0,
         {{255, 255, 1}, {0, 255, 2}, {10, 20, 30}, {8, 8, 8}, {7, 7, 7}, {9, 9, 9}}},
        // clang-format on
        {"fields inverted", 0, 1, 1, inverted},
        {"inversion 3 acts as 1", 0, 1, 3, inverted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto file = std::get<0>(capture(
            frame, config(3, c.interlaced ? 3 : 6, c.interlaced, c.fieldInversion, c.singleField)));
        ASSERT_EQ(file.size(), BMP_HEADER_SIZE + 4 * 6 + BMP_TRAILER_SIZE);
        EXPECT_EQ(fileRows(file, 3, 6), c.rows);
    }
}

TEST(Toma, ReadLoopCasesOnTheWire) {
    const int width = 1000;  // one progressive row: the picture holds the bytes as they came
    const auto source = stream(width);
    const std::string timeOut(msg::TIME_OUT);
    const struct {
        const char* what;
        std::size_t driverBuffer;
        boardsim::FaultPlan faults;
        std::size_t extra;
        std::size_t keptBytes;  // bytes of the source that reach the picture
        std::vector<std::string> messages;
        std::uint64_t reads;  // FT_Read calls of the capture
    } cases[] = {
        {"queue count below 512: every read asks for it", 100, {}, 0, 1000, {}, 10},
        {"the last chunk runs past the frame", 65536, {}, 300, 1000, {}, 2},
        {"status 4 with bytes keeps them", 65536, {.readStatus = 4}, 0, 1000, {}, 2},
        {"another status drops every chunk", 65536, {.readStatus = 3}, 0, 0, {timeOut}, 0},
        {"a short frame times out once", 65536, {.shortFrame = 700}, 0, 700, {timeOut}, 0},
        // clang-format off
        {"status 4 without bytes keeps nothing: the device is gone", 100, {.disconnectAt = 300}, 0,
         200, {timeOut}, 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        Rig rig({.sim = {.driverBuffer = c.driverBuffer, .faults = c.faults},
                 .replay = stream(width + c.extra)});
        rig.initialise(config(width, 1, 0));
        const std::uint64_t readsBefore = rig.board->reads();
        const std::int64_t start = rig.clock.clock();
        rig.ctrl->Toma();
        EXPECT_EQ(rig.person.texts(), c.messages) << c.what;
        if (c.reads != 0) {
            EXPECT_EQ(rig.board->reads() - readsBefore, c.reads) << c.what;
        }
        if (!c.messages.empty()) {
            EXPECT_GE(rig.clock.clock() - start, 3000) << c.what;
            EXPECT_LT(rig.clock.clock() - start, 3400) << c.what;
        }
        std::vector<std::uint8_t> expected(1000, 0);
        std::copy_n(source.begin(), c.keptBytes, expected.begin());
        EXPECT_EQ(fileRows(rig.picture(), width, 1)[0], expected) << c.what;
    }
}

// A smaller frame after a larger one, whose queue status fails: nothing of the earlier frame
// stays in the image buffer, and the picture is all zero.
TEST(Toma, QueueStatusFailureClosesTheLinkAndTheNextTriggerEndsTheProcess) {
    Rig rig({.replay = stream(64)});
    rig.initialise(config(8, 4, 1));
    rig.ctrl->Toma();
    rig.writeConfig(config(8, 2, 1));
    rig.board->faults().queueStatusFails = true;
    rig.ctrl->Toma();
    const auto& image = rig.ctrl->imageBuffer();
    EXPECT_EQ(std::tuple(rig.ctrl->link().isOpen(), rig.board->isOpen(), rig.person.texts(),
                         std::count(image.begin(), image.end(), 0)),
              std::tuple(false, false, std::vector<std::string>{std::string(msg::TIME_OUT)},
                         IMAGE_BUFFER_SIZE));
    const auto picture = rig.picture();
    EXPECT_EQ(std::vector(picture.begin() + BMP_HEADER_SIZE, picture.end()),
              std::vector<std::uint8_t>(8 * 4 + BMP_TRAILER_SIZE, 0));
    // The closed handle takes no write: the driver reports 0 bytes.
    EXPECT_EQ(rig.runUntilExit([&] { rig.ctrl->Toma(); }), 1);
    EXPECT_EQ(rig.person.texts().back(), msg::WRITE_FAILED_TRIGGER);
}

TEST(Toma, BeforeInicializaItSaysFtWriteIsNotValidAndWritesTheZeroBuffer) {
    Rig rig;
    // interlaced 2: nothing is assembled, so nothing is said about it.
    rig.writeConfig(config(8, 1, 2));
    rig.ctrl->setDestinoimagen("c:\\KAPTOR\\Imagen1.BMP");
    EXPECT_EQ(rig.runUntilExit([&] { rig.ctrl->Toma(); }), std::nullopt);
    EXPECT_EQ(rig.person.events(),
              (std::vector<std::string>{"FT_Write is not valid!", "FT_ResetDevice is not valid!",
                                        "BEEP"}));
    const auto file = rig.picture();
    EXPECT_EQ(std::vector(file.begin() + BMP_HEADER_SIZE, file.end()),
              std::vector<std::uint8_t>(24 + BMP_TRAILER_SIZE, 0));
}

TEST(Toma, GeometriesTheBufferCannotHoldOrTheAssemblyCannotCover) {
    const std::size_t EMPTY = BMP_HEADER_SIZE + BMP_TRAILER_SIZE;
    const std::string tooLarge(msg::FRAME_TOO_LARGE);
    const struct {
        const char* what;
        std::string cfg;
        std::vector<std::string> messages;
        std::size_t fileSize;
    } cases[] = {
        // clang-format off
        {"zero width: no read, no rows", config(0, 10, 1), {}, EMPTY},
        {"too large for the buffer: refused", config(2047, 1024, 1), {tooLarge}, EMPTY},
        {"interlaced 2: laid out line by line", config(4, 2, 2),
         {std::string(msg::INTERLACED_INVALID)}, EMPTY + 4 * 6},
        {"negative lines", config(4, -2, 1), {}, EMPTY},
        {"zero lines, interlaced 2: nothing to assemble or say", config(4, 0, 2), {}, EMPTY},
        {"three fields of 1431655766 lines overflow 32 bits: refused", config(640, 1431655766, 2),
         {tooLarge}, EMPTY},
        {"2147483647 x 2147483647", config(2147483647, 2147483647, 0), {tooLarge}, EMPTY},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto [file, messages, exit] = capture(stream(24), c.cfg);
        EXPECT_EQ(std::pair(messages, exit), std::pair(c.messages, std::optional<int>()));
        ASSERT_EQ(file.size(), c.fileSize);
        if (c.messages == std::vector<std::string>{tooLarge}) {
            // A refused frame: width and height both say 0.
            EXPECT_EQ(std::vector(file.begin() + 18, file.begin() + 26),
                      std::vector<std::uint8_t>(8, 0));
        }
    }
    const auto file = std::get<0>(capture(stream(24), config(4, 2, 2)));
    EXPECT_EQ(fileRows(file, 4, 6)[5][0], 1);  // received row 0 on top
}

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

// A frame of an odd number of rows: its last replaced row has a row below it to take the mean
// with (Toma's frames always have an even number).
TEST(FieldAssembly, TheMiddleRowOfThreeIsTheMeanOfItsNeighbours) {
    std::vector<std::uint8_t> image = {0, 255, 7, 1, 1, 1, 255, 255, 8};
    interpolateSingleField(image.data(), 3, 3);
    EXPECT_EQ(image, (std::vector<std::uint8_t>{0, 255, 7, 127, 255, 7, 255, 255, 8}));
}

}  // namespace
}  // namespace kaptor::control
