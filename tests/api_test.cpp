// libkaptor as a program uses it: sessions on the simulated board, pictures in memory, the
// configuration through the dialog's checks, the control's ending turned into BoardError.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/sample_config.h"
#include "host/picture_formats.h"
#include "kaptor/kaptor.h"
#include "support/temp_dir.h"

namespace kaptor {
namespace {

class Api : public ::testing::Test {
  protected:
    void SetUp() override {
        test::writeFile(dir.path() / "KAPTOR/CONFIG.TXT",
                        std::string(cli::SAMPLE_CONFIG_NAME) + "\r\n");
        test::writeFile(dir.path() / "KAPTOR/CONFIG" / cli::SAMPLE_CONFIG_NAME,
                        cli::SAMPLE_CONFIG_TEXT);
    }
    SessionOptions options(Board board = Board::Simulated) {
        return {.board = board,
                .drives = {{'C', dir.path()}},
                .onMessage = [this](const Message& m) { messages.push_back(m.text); }};
    }
    std::string configFile() {
        return test::readFile(dir.path() / "KAPTOR/CONFIG" / cli::SAMPLE_CONFIG_NAME);
    }

    test::TempDir dir;
    std::vector<std::string> messages;
};

TEST_F(Api, CapturesTheControlsPictureRowsTopFirst) {
    const std::vector<std::pair<std::string, std::string>> cases[] = {
        {},
        {{"singleField", "1"}},
        {{"interlaced", "0"}, {"activeLines", "100"}, {"pixelsPerLine", "333"}},
    };
    Session session(options());
    Picture picture;
    for (const auto& values : cases) {
        session.configure(values);
        session.initialize();
        const FrameSize size = session.frameSize();
        picture = session.capture({.withBmp = true});
        const auto decoded = host::decodeControlBmp(picture.bmp);
        ASSERT_TRUE(decoded);
        // The size told, the picture and the control's file agree.
        EXPECT_EQ(std::tie(size.width, size.height), std::tie(picture.width, picture.height));
        EXPECT_EQ(std::tie(picture.width, picture.height, picture.pixels),
                  std::tie(decoded->width, decoded->height, decoded->pixels));
        EXPECT_TRUE(session.capture().bmp.empty());
    }
    EXPECT_EQ(messages, std::vector<std::string>{});
    // The last, 333 x 100 with rows padded to 336 bytes: cut short by a byte, or of another kind,
    // it is refused.
    EXPECT_FALSE(host::decodeControlBmp(picture.bmp.substr(0, 1078 + 336 * 100 - 1)));
    EXPECT_FALSE(host::decodeControlBmp("PK" + picture.bmp.substr(2)));
    // As a PNG it is a gray picture of the same size (IHDR: width, height, depth 8, color type
    // 0); that a reader finds the same pixels in it is
    // Kaptor.PicturesInThreeFormatsToFilesOrStandardOutput's.
    if (host::pngAvailable()) {
        const auto png = host::encodePng({picture.width, picture.height, picture.pixels});
        ASSERT_TRUE(png);
        EXPECT_EQ(png->substr(12, 14), std::string("IHDR\0\0\x01\x4D\0\0\0\x64\x08\x00", 14));
        EXPECT_FALSE(host::encodePng({0, 0, {}}));
    }
    // The formats by name and by a file's ending are kaptor's capture's; a dot in a folder's name
    // is none.
    EXPECT_EQ(host::formatOfPath("dir.png/file"), std::nullopt);
}

TEST_F(Api, RefusedValuesRaiseTheDialogsMessageAndWriteNothing) {
    const struct {
        std::string name, value, message;
    } cases[] = {
        // The dialog's own refusals are DialogExchange.EachEntryConvertsAndChecksItsText's.
        {"gain", "256", "Escriba un número entero entre 0 y 255."},
        {"dicom", "1", "dicom cannot be changed: its box in the dialog is disabled"},
        {"fieldInversion", "2", "fieldInversion takes 0 or 1"},
        {"colour", "1", "'colour' is not a field of the dialog"},
        {"configName", "\xE4\xB8\xAD.TXT",
         "the value of configName holds a character the control cannot keep (Windows-1252 only, "
         "no NUL)"},
    };
    Session session(options());
    const std::string before = configFile();
    for (const auto& c : cases) {
        try {
            session.configure({{"offset", "10"}, {c.name, c.value}});
            ADD_FAILURE() << c.name << "=" << c.value << " was taken";
        } catch (const ConfigurationRefused& refused) {
            EXPECT_EQ(refused.what(), c.message);
        }
        EXPECT_EQ(configFile(), before) << c.name;
    }
    session.configure({{"gain", "200"}});
    const std::string changed = configFile();
    EXPECT_NE(changed, before);

    // Nothing is saved after a failed read: the selector names a configuration that is a
    // folder, and saving then would write blank lines and zeros.
    test::writeFile(dir.path() / "KAPTOR/CONFIG.TXT", "HUECO.TXT\r\n");
    std::filesystem::create_directories(dir.path() / "KAPTOR/CONFIG/HUECO.TXT");
    EXPECT_THROW(session.configure({{"gain", "9"}}), ControlError);
    EXPECT_THROW(session.save(), ControlError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "KAPTOR/CONFIG/HUECO.TXT"));
    EXPECT_EQ(configFile(), changed);
}

// The control's ending is a BoardError and the program goes on: the ended session stays ended,
// a new one captures, and a capture cancelled in the middle of its frame leaves the board
// usable. Without KAPTOR_D2XX_LIBRARY the default board is reached through our driver library
// (when built, with libftdi1): on a machine without a board that is the open failure, never a
// library that cannot be loaded.
TEST_F(Api, TheControlsEndingIsABoardErrorAndTheProgramGoesOn) {
    const std::string openFailed = "ERROR AL ABRIR PUERTO USB. Reintente nuevamente";
    if (std::filesystem::exists(KAPTOR_LIB_DIR "/libkaptor-d2xx.so")) {
        ::unsetenv("KAPTOR_D2XX_LIBRARY");
        EXPECT_THROW(Session(options(Board::Default)).initialize(), BoardError);
        EXPECT_EQ(messages, std::vector<std::string>{openFailed});
    }
    SessionOptions named = options(Board::Named);
    named.library = KAPTOR_LIB_DIR "/libkaptorsim_no_FT_Write.so";
    Session broken(std::move(named));
    for (int call = 0; call < 2; ++call) {  // the session stays ended
        try {
            broken.initialize();
            ADD_FAILURE() << "no BoardError";
        } catch (const BoardError& error) {
            EXPECT_EQ(std::tuple(std::string(error.what()), error.status()),
                      std::tuple(openFailed, 1));
        }
    }

    messages.clear();
    Session session(options());
    session.initialize();
    const Picture before = session.capture();
    // The check is asked about 30 times in the board's 600 ms wait (every 20 ms), then after
    // every read: this stops the capture in the middle of the frame.
    int checks = 0;
    EXPECT_THROW(session.capture({.cancelled = [&checks] { return ++checks > 80; }}), Cancelled);
    // The next frame comes whole: no time-out, none of the stopped frame's bytes.
    const Picture next = session.capture();
    EXPECT_EQ(std::tuple(next.height, messages), std::tuple(496, std::vector<std::string>{}));
    // The chart's top rows stay still from frame to frame; a shifted frame would move them.
    EXPECT_TRUE(
        std::equal(next.pixels.begin(), next.pixels.begin() + 640 * 20, before.pixels.begin()));
}

}  // namespace
}  // namespace kaptor
