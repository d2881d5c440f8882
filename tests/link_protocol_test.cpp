// The USB link and the board programming, seen on the wire of the simulated board.
#include <gtest/gtest.h>

#include <sstream>

#include "control/board_commands.h"
#include "control/messages.h"
#include "tests/support/rig.h"

namespace kaptor::control {
namespace {

using test::EXAMPLE_CONFIG;
using test::hex;
using test::Rig;

// Settings of the first programming example.
const char* const PROGRAMMING_EXAMPLE =
    "l1\r\nl2\r\n640\r\n100\r\n240\r\n20\r\n800\r\n0\r\n1\r\n128\r\n64\r\n3\r\n0\r\n0\r\n0\r\n0\r"
    "\n";
const char* const EXAMPLE_SEQUENCE =
    "42 02 80|43 64|44 01 E0|45 14|46 03 20|47 40|48 80 07|48 40 0A|48 03 05|48 00 0D|48 57 10";

// The bytes of each FT_Write, as "42 02 80|43 64|...", from the board's trace.
std::string writtenBytes(const std::filesystem::path& trace) {
    std::string text = test::readFile(trace);
    std::erase(text, '\r');  // a text file: its lines end in CR LF on Windows
    std::istringstream lines(text);
    std::string out;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("FT_Write ")) {
            out += (out.empty() ? "" : "|") + line.substr(9);
        }
    }
    return out;
}

TEST(ProgramRegisters, TheExampleSequenceGoesOutFrameByFrame) {
    const test::TempDir traces;
    const auto trace = traces.path() / "trace.txt";
    Rig rig({.sim = {.tracePath = trace.string()}});
    rig.writeConfig(PROGRAMMING_EXAMPLE);
    rig.ctrl->Inicializa();
    const std::string once = EXAMPLE_SEQUENCE;
    const std::vector<std::string> nothing;  // said or heard
    EXPECT_EQ(std::tuple(writtenBytes(trace), rig.person.events(), rig.ctrl->frameWidth(),
                         rig.ctrl->frameLines(), rig.ctrl->link().isOpen()),
              std::tuple(once + "|" + once + "|" + once + "|" + once, nothing, 640, 480, true));

    // A second Inicializa gives up the handle it holds first: the driver refuses a second open
    // of the same device.
    const auto again = rig.runUntilExit([&] { rig.ctrl->Inicializa(); });
    EXPECT_EQ(std::tuple(again, rig.person.events(), rig.board->writes(), rig.board->isOpen()),
              std::tuple(std::nullopt, nothing, 88u, true));

    // The default destination names a folder: the capture is made, then the process ends.
    const auto exit = rig.runUntilExit([&] { rig.ctrl->Toma(); });
    EXPECT_EQ(std::tuple(exit, rig.person.events(), rig.board->capturesStarted()),
              std::tuple(1, std::vector<std::string>{std::string(msg::IMAGE_CREATE_FAILED)}, 1u));

    // A control that goes away closes its device (the library stays loaded), so that a second
    // control of the same process can open it.
    rig.ctrl = std::make_unique<CKAPTORAXCtrl>(ControlServices{
        *rig.files, rig.person, rig.clock, rig.processExit, rig.libraries, rig.dialogs});
    EXPECT_FALSE(rig.board->isOpen());
}

// One control programmed again for each row, with what earlier rows set still in force: the
// control byte's interleave bit, set by the first row, is cleared by the second.
TEST(ProgramRegisters, FramesCarryOnlyTheirMaskedBits) {
    const struct {
        const char* what;
        std::int32_t BoardSettings::*field;
        std::int32_t value;
        std::int32_t interlaced;
        std::size_t frameIndex;
        const char* frame;
        std::int32_t frameLines;
    } cases[] = {
        {"interleave 1, interlaced", &BoardSettings::pixelInterleave, 1, 1, 5, "47 C0", 480},
        {"interleave 2 acts as 0", &BoardSettings::pixelInterleave, 2, 0, 5, "47 00", 240},
        {"1500 pixels: low 10 bits", &BoardSettings::pixelsPerLine, 1500, 1, 0, "42 01 DC", 480},
        {"600 lines interlaced", &BoardSettings::activeLines, 600, 1, 2, "44 00 B0", 1200},
        {"interlaced 2: three times the lines", &BoardSettings::activeLines, 240, 2, 2, "44 02 D0",
         720},
        {"interlaced 2: bit 6 clear", &BoardSettings::activeLines, 240, 2, 5, "47 00", 720},
        {"input config 300", &BoardSettings::inputConfig, 300, 1, 8, "48 2C 05", 480},
        {"PLL 2047", &BoardSettings::pllPixelTotal, 2047, 1, 4, "46 07 FF", 480},
        {"PLL 2048 wraps", &BoardSettings::pllPixelTotal, 2048, 1, 4, "46 00 00", 480},
    };
    Rig rig;
    rig.writeConfig(PROGRAMMING_EXAMPLE);
    rig.ctrl->Inicializa();
    for (const auto& c : cases) {
        const std::size_t before = rig.board->frames().size();
        auto& s = rig.ctrl->configDialog().settings;
        s.*c.field = c.value;
        s.interlaced = c.interlaced;
        rig.ctrl->programRegisters();
        ASSERT_EQ(rig.board->frames().size(), before + 11) << c.what;
        EXPECT_EQ(hex(rig.board->frames()[before + c.frameIndex]), c.frame) << c.what;
        EXPECT_EQ(rig.ctrl->frameLines(), c.frameLines) << c.what;
    }
}

// What each way of opening says, and what it costs: without an announce byte both reads wait out
// their time-out, from a silent board (3000 ms each) or without a purge when FT_ListDevices is
// missing (the slots after it stay empty, so the driver's default second; FT_Read and FT_Write
// were bound before it).
TEST(OpenLink, MessagesReadsAndWaitOfEachWayOfOpening) {
    const std::string openFailed(msg::OPEN_FAILED);
    const struct {
        const char* what;
        bool library;
        std::vector<std::string> hidden;
        boardsim::FaultPlan faults;
        std::vector<std::string> messages;
        std::optional<int> exit;
        std::uint64_t reads;
        std::int64_t millis;
        std::uint64_t writes;
    } cases[] = {
        // clang-format off
        {"announced", true, {}, {}, {}, std::nullopt, 1, 0, 44},
        {"silent", true, {}, {.silent = true}, {}, std::nullopt, 2, 6000, 44},
        {"library missing", false, {}, {},
         {"Error: Can't Load ft8u245.dll", "FT_OpenEx is not valid!", openFailed}, 1, 0, 0, 0},
        {"FT_Write missing", true, {"FT_Write"}, {},
         {"Error: Can't Find FT_Write", "FT_OpenEx is not valid!", openFailed}, 1, 0, 0, 0},
        {"FT_Read missing", true, {"FT_Read"}, {},
         {"Error: Can't Find FT_Read", "FT_OpenEx is not valid!", openFailed}, 1, 0, 0, 0},
        {"FT_Open missing", true, {"FT_Open"}, {},
         {"Error: Can't Find FT_Open", "FT_OpenEx is not valid!", openFailed}, 1, 0, 0, 0},
        {"FT_OpenEx missing", true, {"FT_OpenEx"}, {},
         {"Error: Can't Find FT_OpenEx", "FT_OpenEx is not valid!", openFailed}, 1, 0, 0, 0},
        {"FT_ListDevices missing: the open goes on", true, {"FT_ListDevices"}, {},
         {"Error: Can't Find FT_ListDevices", "FT_ResetDevice is not valid!",
          "FT_SetTimeouts is not valid!", "FT_Purge is not valid!", "FT_SetTimeouts is not valid!"},
         std::nullopt, 2, 2000, 44},
        {"FT_GetQueueStatus missing", true, {"FT_GetQueueStatus"}, {},
         {"Error: Can't Find FT_GetQueueStatus"}, std::nullopt, 1, 0, 44},
        {"device absent", true, {}, {.noDevice = true}, {openFailed}, 1, 0, 0, 0},
        {"a programming write of 0 bytes", true, {}, {.writeZeroAt = 7},
         {std::string(msg::WRITE_FAILED_PROGRAMMING)}, 1, 1, 0, 7},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig({.sim = {.faults = c.faults},
                 .withBoardLibrary = c.library,
                 .hiddenFunctions = c.hidden});
        rig.writeConfig(EXAMPLE_CONFIG);
        const std::int64_t before = rig.clock.clock();
        const auto exit = rig.runUntilExit([&] { rig.ctrl->Inicializa(); });
        EXPECT_EQ(std::tuple(exit, rig.person.texts(), rig.board->reads(),
                             rig.clock.clock() - before, rig.board->writes()),
                  std::tuple(c.exit, c.messages, c.reads, c.millis, c.writes));
    }
}

}  // namespace
}  // namespace kaptor::control
