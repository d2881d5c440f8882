// The reader's and writer's rules for the selector and configuration files, and reading, saving,
// listing and deleting them on a drive, as the operator sees it.
#include <gtest/gtest.h>

#include "control/config_text.h"
#include "control/configuration_files.h"
#include "control/messages.h"
#include "tests/support/rig.h"
#include "tests/support/scripted_find.h"

namespace kaptor::control {
namespace {

using test::EXAMPLE_CONFIG;
using test::readFile;
using test::Rig;
using test::writeFile;
using namespace std::string_literals;

// Field values in file order: lines 3..16.
using Fields = std::array<std::int64_t, 14>;
Fields fieldsOf(const BoardSettings& s) {
    return {s.pixelsPerLine,  s.horizontalPosition, s.activeLines, s.verticalPosition,
            s.pllPixelTotal,  s.pixelInterleave,    s.interlaced,  s.gain,
            s.offset,         s.inputConfig,        s.sensitivity, s.dicom,
            s.fieldInversion, s.singleField};
}

TEST(ConfigText, ReaderQuirks) {
    const struct {
        const char* what;
        std::string text;
        Fields fields;
    } cases[] = {
        // clang-format off
        {"empty line among 3-8 reads 0", "a\r\nb\r\n640\r\n\r\n248\r\n20\r\n800\r\n0\r\n1\r\n"
         "128\r\n64\r\n0\r\n10\r\n0\r\n0\r\n0\r\n",
         {640, 0, 248, 20, 800, 0, 1, 128, 64, 0, 10, 0, 0, 0}},
        {"empty line among 9-16 takes the next line's value; nothing shifts",
         "a\r\nb\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n\r\n128\r\n64\r\n0\r\n10\r\n0\r\n0\r\n0\r\n",
         {1, 2, 3, 4, 5, 6, 128, 128, 64, 0, 10, 0, 0, 0}},
        {"last line without CR LF still reads",
         "a\r\nb\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n1\r\n2\r\n3\r\n4\r\n5\r\n1\r\n1\r\n1",
         {1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 1, 1, 1}},
        {"a file that stops after line 5 without CR LF: lines 3-8 need their CR",
         "a\r\nb\r\n640\r\n120\r\n248", {640, 120, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"text after digits is ignored; blanks and sign accepted", "a\r\nb\r\n640 pixels\r\n -5\r\n"
         "+3\r\n4\r\n5\r\n6\r\n 1\r\n2\r\n3\r\n-4\r\n5\r\n2\r\n0\r\n1\r\n",
         {640, -5, 3, 4, 5, 6, 1, 2, 3, -4, 5, 2, 0, 1}},
        {"LF alone: text lines empty, 3-8 read 0, 9-16 from the wrong places",
         "a\nb\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n1\n1\n1\n",
         {0, 0, 0, 0, 0, 0, 3, 4, 4, 5, 5, 6, 6, 7}},
        {"a zero byte ends the text", "a\r\nb\r\n640\r\n1\0" "20\r\n"s,
         {640, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"empty file", "", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        // clang-format on
    };
    for (const auto& c : cases) {
        BoardSettings s{.configName = "KEPT"};  // the record's name is never touched
        std::string line1, line2;
        parseConfiguration(c.text, s, line1, line2);
        EXPECT_EQ(std::pair(fieldsOf(s), s.configName), std::pair(c.fields, "KEPT"s)) << c.what;
    }
}

TEST(ConfigText, OnlyTheFirstCrEndsTheSelectorAndFlagsSaveAsZeroOrOne) {
    EXPECT_EQ(parseSelector("EJEMPLO.TXT\r\n"), "EJEMPLO.TXT");
    EXPECT_EQ(parseSelector("A.TXT\rjunk\r\n"), "A.TXT");
    EXPECT_EQ(parseSelector("NOCR.TXT"), "");
    EXPECT_EQ(parseSelector(std::string("A\0B\r\n", 5)), "");

    const BoardSettings s{
        .dicom = 2, .gain = 0xFFFFFFFFu, .sensitivity = -7, .singleField = -1, .fieldInversion = 1};
    EXPECT_EQ(formatConfiguration(s, "", ""),
              "\r\n\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n-1\r\n0\r\n0\r\n-7\r\n0\r\n1\r\n0\r\n");
    EXPECT_EQ(formatSelector("A.TXT"), "A.TXT\r\n");
}

// The host files, failing what a test asks them to.
class FailingFileSystem : public platform::HostFileSystem {
  public:
    explicit FailingFileSystem(const Rig& rig)
        : HostFileSystem(platform::DriveMap({{'C', rig.drive.path()}}, 'C')) {}

    bool failCreate = false;  // otherwise every write fails
    // Listing: names to give, the code after the last one, and whether closing fails.
    std::vector<std::string> names;
    std::uint32_t endCode = platform::ERROR_NO_MORE_FILES;
    bool closeFails = false;

    // What an abandoned replacement leaves behind is the host's (HostFileSystem.AReplacement...).
    std::unique_ptr<platform::ReplacementFile> createReplacement(std::string_view) override {
        struct BrokenWrite : platform::ReplacementFile {
            bool write(std::span<const std::uint8_t>) override { return false; }
            bool commit() override { return false; }
        };
        if (failCreate) {
            return nullptr;
        }
        return std::make_unique<BrokenWrite>();
    }
    std::unique_ptr<platform::FileFind> findFirst(std::string_view, std::string& name) override {
        return test::scriptedFind(names, name, endCode, closeFails);
    }
};

const ReaderMessages CONTROL{msg::SELECTOR_OPEN_CONTROL, msg::CONFIG_OPEN_CONTROL};
const ReaderMessages DIALOG{msg::SELECTOR_OPEN_DIALOG, msg::CONFIG_OPEN_DIALOG};

TEST(ReadConfiguration, MessagesAndWhatSurvives) {
    const std::string e400(msg::SELECTOR_OPEN_DIALOG), e401(msg::CONFIG_OPEN_DIALOG);
    const std::string e410(msg::SELECTOR_OPEN_CONTROL), e411(msg::CONFIG_OPEN_CONTROL);
    const struct {
        const char* what;
        const char* selector;  // nullptr: no selector file
        std::string startName;
        bool dialog;
        std::vector<std::string> messages;
        std::string configName;
        std::int32_t pixels;                // 7 when the values stayed as they were
        std::string file = EXAMPLE_CONFIG;  // EJEMPLO.TXT
    } cases[] = {
        // clang-format off
        {"all present", "EJEMPLO.TXT\r\n", "", false, {}, "EJEMPLO.TXT", 640},
        {"no selector, dialog entry", nullptr, "", true, {e400, e401}, "", 7},
        {"no selector but the name in use exists", nullptr, "EJEMPLO.TXT", false, {e410},
         "EJEMPLO.TXT", 640},
        {"selector names a missing file", "OTRO.TXT\r\n", "", false, {e411}, "OTRO.TXT", 7},
        {"selector without CR", "EJEMPLO.TXT", "", false, {e411}, "", 7},
        {"selector name leads out of the folder", "..\\CONFIG.TXT\r\n", "", true, {e401},
         "..\\CONFIG.TXT", 7},
        {"name matches case-insensitively", "ejemplo.txt\r\n", "", false, {}, "ejemplo.txt", 640},
        // Lines 1 and 2 end at byte 542; line 3 runs to byte 550 and its CR is byte 550 or 551.
        {"the CR at byte 550 is read", "EJEMPLO.TXT\r\n", "", false, {}, "EJEMPLO.TXT", 1234567,
         std::string(538, 'x') + "\r\n\r\n1234567\r\n"},
        {"the CR at byte 551 is not", "EJEMPLO.TXT\r\n", "", false, {}, "EJEMPLO.TXT", 0,
         std::string(538, 'x') + "\r\n\r\n12345678\r\n"},
        // clang-format on
    };
    for (const auto& c : cases) {
        Rig rig;
        writeFile(rig.drivePath("KAPTOR/CONFIG/EJEMPLO.TXT"), c.file);
        if (c.selector != nullptr) {
            writeFile(rig.drivePath("KAPTOR/CONFIG.TXT"), c.selector);
        }
        ConfigurationFiles files(*rig.files, rig.person);
        BoardSettings s{.pixelsPerLine = 7, .configName = c.startName};
        std::string line1 = "old1", line2 = "old2";
        files.readConfiguration(s, c.dialog ? DIALOG : CONTROL, &line1, &line2);
        EXPECT_EQ(rig.person.texts(), c.messages) << c.what;
        EXPECT_EQ(s.configName, c.configName) << c.what;
        EXPECT_EQ(s.pixelsPerLine, c.pixels) << c.what;
        EXPECT_EQ(line1, c.pixels == 7 ? "old1" : c.file.substr(0, c.file.find('\r'))) << c.what;
        const std::string rest = c.file.substr(c.file.find('\n') + 1);
        EXPECT_EQ(line2, c.pixels == 7 ? "old2" : rest.substr(0, rest.find('\r'))) << c.what;
    }
}

TEST(SaveConfiguration, FailuresLeaveTheStoredFilesByteForByte) {
    const std::string old = "old\r\nfile\r\n1\r\n";
    for (const bool failCreate : {true, false}) {
        Rig rig;
        rig.writeConfig(old, "CAM.TXT");
        FailingFileSystem failing(rig);
        failing.failCreate = failCreate;
        ConfigurationFiles files(failing, rig.person);
        rig.person.queueAnswer(platform::Answer::Ok);
        files.saveConfiguration(BoardSettings{.configName = "CAM.TXT"}, "a", "b");
        files.writeSelector("OTHER.TXT");
        EXPECT_EQ(readFile(rig.drivePath("KAPTOR/CONFIG/CAM.TXT")), old);
        EXPECT_EQ(readFile(rig.drivePath("KAPTOR/CONFIG.TXT")), "CAM.TXT\r\n");
        EXPECT_EQ(rig.person.texts(),
                  (std::vector<std::string>{std::string(msg::OVERWRITE_QUESTION),
                                            std::string(msg::CONFIG_WRITE_FAILED),
                                            std::string(msg::SELECTOR_WRITE_FAILED)}));
        EXPECT_EQ(rig.person.messages()[0].buttons, platform::Buttons::OkCancel);
        EXPECT_EQ(rig.person.messages()[0].icon, platform::Icon::Exclamation);
    }
}

// Which names are plain file names is the dialog's table's (DialogExchange.EachEntry...): here a
// name that would save over and delete the selector.
TEST(SaveAndDelete, NamesThatAreNotPlainFileNamesAreRefused) {
    Rig rig;
    rig.writeConfig(EXAMPLE_CONFIG);
    ConfigurationFiles files(*rig.files, rig.person);
    files.saveConfiguration(BoardSettings{.configName = "..\\CONFIG.TXT"}, "", "");
    files.deleteConfiguration("..\\CONFIG.TXT");
    EXPECT_EQ(rig.person.texts(),
              std::vector<std::string>(2, std::string(msg::CONFIG_NAME_INVALID)));
    EXPECT_EQ(readFile(rig.drivePath("KAPTOR/CONFIG.TXT")), "EJEMPLO.TXT\r\n");
}

// The names come in the order the file system gives them (HostFileSystem.ListsMatchingNames...).
TEST(ListConfigurations, WhatTheListHoldsAndSays) {
    const std::vector<std::string> names = {"A.TXT", "b.TXT", "C+D.TXT"};
    const struct {
        const char* what;
        std::vector<std::string> names;  // empty: no listing at all
        std::uint32_t endCode;
        bool closeFails;
        std::vector<std::string> messages;
        std::int32_t count;
    } cases[] = {
        // clang-format off
        {"clean end", names, platform::ERROR_NO_MORE_FILES, false, {}, 3},
        {"next fails", names, 5, false, {std::string(msg::FIND_NEXT_FAILED)}, 0},
        {"close fails", names, platform::ERROR_NO_MORE_FILES, true,
         {std::string(msg::FIND_CLOSE_FAILED)}, 0},
        {"empty or missing folder, silently", {}, platform::ERROR_NO_MORE_FILES, false, {}, 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        FailingFileSystem failing(rig);
        failing.names = c.names;
        failing.endCode = c.endCode;
        failing.closeFails = c.closeFails;
        ConfigurationFiles files(failing, rig.person);
        NameList list;
        list.append("STALE.TXT");
        list.listCount = 1;
        files.listConfigurations(list);
        // The entries from 0 to 5: the name with "+" is listed as two.
        std::vector<std::string> entries;
        for (list.listIndex = 0; list.listIndex <= 5; ++list.listIndex) {
            entries.push_back(list.getListEntry());
        }
        const bool listed = !c.names.empty();
        EXPECT_EQ(
            std::tuple(list.text(), list.listCount, rig.person.texts(), entries),
            std::tuple(listed ? "A.TXT+b.TXT+C+D.TXT+" : "", c.count, c.messages,
                       listed ? std::vector<std::string>{"", "A.TXT", "b.TXT", "C", "D.TXT", ""}
                              : std::vector<std::string>(6)));
    }
}

TEST(ListConfigurations, NeverWritesPastTheBufferAndCountsOnlyWhatFits) {
    Rig rig;
    FailingFileSystem failing(rig);
    // 100 names of 40 characters and a "+": 41 bytes each, 73 fit in 2999 bytes; a short name
    // after them still fits in what is left.
    for (int i = 0; i < 100; ++i) {
        std::string name = std::to_string(1000 + i) + std::string(32, 'N') + ".TXT";
        failing.names.push_back(name);
    }
    failing.names.push_back("Z.TXT");
    ConfigurationFiles files(failing, rig.person);
    NameList list;
    files.listConfigurations(list);
    EXPECT_EQ(list.listCount, 74);
    EXPECT_EQ(list.text().size(), 73u * 41u + 6u);
    EXPECT_LE(list.text().size(), LIST_BUFFER_SIZE - 1);
    EXPECT_EQ(list.listBuffer.back(), '\0');
    list.listIndex = 74;
    EXPECT_EQ(list.getListEntry(), "Z.TXT");
}

}  // namespace
}  // namespace kaptor::control
