// The configuration dialog through the in-memory window: the exchange of fields, each handler,
// and what reaches the files.
#include <gtest/gtest.h>

#include "control/dialog_exchange.h"
#include "control/in_memory_dialog_view.h"
#include "control/messages.h"
#include "tests/support/rig.h"

namespace kaptor::control {
namespace {

using platform::Answer;
using test::clickOn;
using test::EXAMPLE_CONFIG;
using test::readFile;
using test::typeInto;

// 320 x 240, not interlaced, every flag but dicom ticked.
const char* const OTRA_CONFIG =
    "Otra\r\nlinea\r\n320\r\n100\r\n240\r\n18\r\n400\r\n1\r\n0\r\n200\r\n32\r\n5\r\n-3\r\n0\r\n"
    "1\r\n1\r\n";

const std::string NOT_A_NUMBER(msg::VALIDATE_NOT_A_NUMBER);
const std::string NOT_NEGATIVE(msg::VALIDATE_NOT_NEGATIVE);
const std::string NOT_A_FILE_NAME(msg::VALIDATE_NOT_A_FILE_NAME);
std::string range(const std::string& low, const std::string& high) {
    return "Escriba un n\xFAmero entero entre " + low + " y " + high + ".";
}

// A control whose selector names EJEMPLO.TXT, beside OTRA.TXT and ROTA.TXT (and a .DOC), and its
// dialog opened on the record the control loaded.
struct OpenDialog {
    explicit OpenDialog(const std::string& selector = "EJEMPLO.TXT") {
        rig.writeConfig(OTRA_CONFIG, "OTRA.TXT");
        rig.writeConfig(EXAMPLE_CONFIG, "EJEMPLO.TXT");
        rig.writeConfig(OTRA_CONFIG, "ROTA.TXT");
        test::writeFile(rig.drivePath("KAPTOR/CONFIG/NOTAS.DOC"), "");  // not listed
        test::writeFile(rig.drivePath("KAPTOR/CONFIG.TXT"), selector + "\r\n");
        rig.ctrl->loadConfiguration();
        view.open();
    }
    CBoardConfigDlg& dialog() { return rig.ctrl->configDialog(); }
    const BoardSettings& settings() { return rig.ctrl->settings(); }
    std::string selector() { return readFile(rig.drivePath("KAPTOR/CONFIG.TXT")); }

    test::Rig rig;
    InMemoryDialogView view{rig.ctrl->configDialog()};
};

// The conversion alone: how saveFields shows a refusal and what it stores is checked below.
TEST(DialogExchange, EachEntryConvertsAndChecksItsText) {
    const struct {
        const char* member;
        const char* text;
        std::string refusal;  // empty: taken as number
        std::int64_t number = 0;
        bool leaving = false;
    } cases[] = {
        {"pixelInterleave", " 42\t", "", 42},  // beyond the label's 0, 1, 2: the range is 0..255
        {"pixelInterleave", "256", range("0", "255")},
        {"pixelInterleave", "-1", range("0", "255")},
        {"pixelInterleave", "4x", NOT_A_NUMBER},
        {"pixelInterleave", "", NOT_A_NUMBER},
        {"pixelInterleave", "- 1", NOT_A_NUMBER},
        {"gain", "0", "", 0},
        {"gain", "-5", NOT_NEGATIVE},
        {"gain", "-0", NOT_NEGATIVE},
        {"gain", "300", range("0", "255")},
        {"offset", "00000000000255", "", 255},
        {"pixelsPerLine", "2047", "", 2047},  // the label says 1023; the range is 0..2047
        {"pixelsPerLine", "2048", range("0", "2047")},
        {"pixelsPerLine", "99999999999999999999", range("0", "2047")},
        {"horizontalPosition", "256", range("0", "255")},
        {"pllPixelTotal", "2047", "", 2047},
        {"inputConfig", "2047", "", 2047},  // the label says 255
        {"sensitivity", "-2147483648", "", -2147483648},
        {"sensitivity", "2147483648", range("-2147483648", "2147483647")},
        {"activeLines", "2047", "", 2047},
        {"verticalPosition", "-7", range("0", "255")},
        {"interlaced", "1", "", 1},
        {"interlaced", "2", range("0", "1")},
        {"configName", "ABCDEFGHIJKLMNOPQRSTUVWXYZ.TXT", ""},
        {"configName", "ABCDEFGHIJKLMNOPQRSTUVWXYZ1.TXT", "Escriba como m\xE1ximo 30 caracteres."},
        {"configName", "..\\CONFIG.TXT", NOT_A_FILE_NAME},
        {"configName", "C:EVIL.TXT", NOT_A_FILE_NAME},
        {"configName", "A/B.TXT", NOT_A_FILE_NAME},
        {"configName", "..", NOT_A_FILE_NAME},
        {"configName", ".", NOT_A_FILE_NAME},
        {"configName", "A\r\nB.TXT", NOT_A_FILE_NAME},
        {"configName", "", ""},  // while editing, the name may be empty for a moment
        {"configName", "", NOT_A_FILE_NAME, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.member) + " <- '" + c.text + "'");
        const Converted converted = convertText(*findExchangeEntry(c.member), c.text, c.leaving);
        EXPECT_EQ(converted.refusal, c.refusal);
        EXPECT_EQ(converted.number, c.number);
    }
}

TEST(DialogExchange, StopsAtTheFirstRefusedEntryWithEarlierMembersStored) {
    OpenDialog d;
    BoardSettings expected = d.settings();
    // A new valid value in every control, then a refused one in the seventh entry.
    for (const ExchangeEntry& entry : EXCHANGE_TABLE) {
        if (entry.conversion == Conversion::CheckState) {
            d.view.setChecked(entry.controlId, true);
        } else if (entry.conversion == Conversion::ComboText) {
            d.view.setComboText("NUEVA.TXT");
        } else {
            d.view.type(entry.controlId, "1");
        }
    }
    d.view.type(IDC_PLL_PIXEL_TOTAL, "ochocientos");
    EXPECT_FALSE(d.dialog().saveFields());
    EXPECT_EQ(d.rig.person.texts(), std::vector<std::string>{NOT_A_NUMBER});
    EXPECT_EQ(d.view.focused(), IDC_PLL_PIXEL_TOTAL);
    // The six entries before it in exchange order took their new values; the rest kept theirs.
    expected.pixelInterleave = expected.dicom = expected.pixelsPerLine = 1;
    expected.horizontalPosition = 1;
    expected.gain = expected.offset = 1;
    EXPECT_EQ(d.settings(), expected);

    // With the entry mended a check-box click stores them all, its own box as it now shows.
    d.view.type(IDC_PLL_PIXEL_TOTAL, "1");
    d.view.click(IDC_SINGLE_FIELD);
    EXPECT_EQ(d.settings(), (BoardSettings{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, "NUEVA.TXT", 0, 1}));
    EXPECT_EQ(d.rig.person.texts().size(), 1u);
}

// The opened dialog's focus and its disabled DICOM box; the other boxes flip their flag and save
// the fields (what a click saves when every entry is valid: DialogExchange.StopsAt...).
TEST(ConfigDialog, CheckBoxesFlipTheirFlagAndSaveTheFields) {
    OpenDialog d;
    EXPECT_EQ(d.view.focused(), IDC_ACEPTAR);
    EXPECT_FALSE(d.view.isEnabled(IDC_DICOM));
    EXPECT_FALSE(d.view.click(IDC_DICOM));
    // A bad entry before the box in exchange order: its message, and the flag follows the box.
    d.view.type(IDC_PIXEL_INTERLEAVE, "uno");
    d.view.click(IDC_FIELD_INVERSION);
    EXPECT_TRUE(d.view.checked(IDC_FIELD_INVERSION));
    EXPECT_EQ(d.settings().fieldInversion, 1);
    d.view.click(IDC_FIELD_INVERSION);
    d.view.click(IDC_SINGLE_FIELD);
    EXPECT_EQ(
        std::tuple(d.settings().fieldInversion, d.settings().singleField, d.rig.person.texts()),
        std::tuple(0, 1, std::vector<std::string>(3, NOT_A_NUMBER)));
}

// A picked file that cannot be read: the selector names it, the values stay.
TEST(ConfigDialog, PickingAFileThatCannotBeReadKeepsTheValues) {
    OpenDialog d;
    std::filesystem::remove(d.rig.drivePath("KAPTOR/CONFIG/ROTA.TXT"));
    std::filesystem::create_directory(d.rig.drivePath("KAPTOR/CONFIG/ROTA.TXT"));
    EXPECT_TRUE(d.view.pick(3));
    EXPECT_EQ(
        std::tuple(d.selector(), d.rig.person.texts(), d.settings().configName,
                   d.settings().pixelsPerLine, d.dialog().isOpen()),
        std::tuple("ROTA.TXT\r\n", std::vector<std::string>{std::string(msg::CONFIG_OPEN_DIALOG)},
                   "ROTA.TXT", 640, true));
    EXPECT_FALSE(d.view.pick(4));
}

// What each scenario leaves: the selector names ROTA.TXT while the dialog shows EJEMPLO.TXT, so
// a rewrite of the selector shows. What the good ways out do is checked through Set
// (Set.WhatEachWayOfLeavingSendsSavesAndSays).
TEST(ConfigDialog, WhatEachScenarioLeaves) {
    const std::string question1(msg::DELETE_QUESTION);
    const auto question2 = [](const std::string& name) {
        return "Borrar\xE1 el archivo: C:\\KAPTOR\\CONFIG\\" + name +
               "   \xBF"
               "ESTA SEGURO?";
    };
    const std::vector<std::string> remaining = {"OTRA.TXT", "ROTA.TXT"};
    // The dialog, the files and the record afterwards.
    struct Left {
        Outcome outcome = Outcome::Open;
        int endCode = 0;  // 0: still open
        std::string selector = "ROTA.TXT\r\n";
        std::string configName = "EJEMPLO.TXT";
        int selection = 0;
        std::string comboText = "EJEMPLO.TXT";
        std::vector<std::string> list = {"EJEMPLO.TXT", "OTRA.TXT", "ROTA.TXT"};
        std::string ejemplo = EXAMPLE_CONFIG;  // EJEMPLO.TXT's bytes
        std::string pixels = "640";            // the pixels per line shown
    };
    const struct {
        const char* name;
        std::vector<test::PersonAction> actions;
        std::vector<Answer> answers;  // to the message boxes, in order
        std::vector<std::string> messages;
        Left left;
        const char* opened = "EJEMPLO.TXT";  // the selector's name when the dialog opens
    } cases[] = {
        // clang-format off
        // Opening: the folder's list, the selector's entry selected (in the list's own spelling).
        {"opened on otra.txt", {}, {}, {},
         {.configName = "otra.txt", .selection = 1, .comboText = "OTRA.TXT", .pixels = "320"},
         "otra.txt"},
        {"opened on NADA.TXT", {}, {}, {std::string(msg::CONFIG_OPEN_CONTROL)},
         {.configName = "NADA.TXT", .selection = NO_SELECTION, .comboText = "NADA.TXT",
          .pixels = "0"},
         "NADA.TXT"},
        // A bad entry elsewhere does not stop a pick: the picked file replaces the whole record.
        {"pick", {typeInto(IDC_GAIN, "x"), test::pickEntry(2)}, {}, {},
         {.selector = "OTRA.TXT\r\n", .configName = "OTRA.TXT", .selection = 1,
          .comboText = "OTRA.TXT", .pixels = "320"}},
        // Leaving: only ACEPTAR writes the selector.
        {"APLICAR with a bad entry stays open", {typeInto(IDC_GAIN, "x"), clickOn(IDC_APLICAR)},
         {}, {NOT_A_NUMBER}, {.outcome = Outcome::Aplicar}},
        {"ACEPTAR with an empty name: its message twice, the selector rewritten all the same",
         {typeInto(IDC_CONFIG_NAME, ""), clickOn(IDC_ACEPTAR)}, {},
         {NOT_A_FILE_NAME, NOT_A_FILE_NAME},
         {.outcome = Outcome::Aceptar, .selector = "EJEMPLO.TXT\r\n", .selection = NO_SELECTION,
          .comboText = ""}},
        {"CANCELAR", {typeInto(IDC_GAIN, "x"), clickOn(IDC_CANCELAR)}, {}, {},
         {.outcome = Outcome::Cancelar, .endCode = END_CANCEL}},
        // Typing the name saves the fields only while an entry is selected: one message per
        // keystroke while the typed text still begins an entry.
        {"list dropped, bad entry",
         {typeInto(IDC_GAIN, "x"), test::dropList(), typeInto(IDC_CONFIG_NAME, "EJX")}, {},
         {NOT_A_NUMBER, NOT_A_NUMBER}, {.selection = NO_SELECTION, .comboText = "EJX"}},
        {"list dropped, all valid", {test::dropList(), typeInto(IDC_CONFIG_NAME, "ot")}, {}, {},
         {.configName = "ot", .selection = 1, .comboText = "ot"}},
        {"list closed, all valid", {typeInto(IDC_CONFIG_NAME, "OTRA.TXT")}, {}, {},
         {.selection = NO_SELECTION, .comboText = "OTRA.TXT"}},
        // BORRAR asks twice and deletes the stored name, not the typed one; the fields still show
        // the deleted configuration.
        {"BORRAR, no", {typeInto(IDC_CONFIG_NAME, "OTRA.TXT"), clickOn(IDC_BORRAR)}, {Answer::No},
         {question1}, {.selection = NO_SELECTION, .comboText = "OTRA.TXT"}},
        {"BORRAR, yes, cancel", {typeInto(IDC_CONFIG_NAME, "OTRA.TXT"), clickOn(IDC_BORRAR)},
         {Answer::Yes, Answer::Cancel}, {question1, question2("EJEMPLO.TXT")},
         {.selection = NO_SELECTION, .comboText = "OTRA.TXT"}},
        {"BORRAR, yes, ok", {typeInto(IDC_CONFIG_NAME, "OTRA.TXT"), clickOn(IDC_BORRAR)},
         {Answer::Yes, Answer::Ok}, {question1, question2("EJEMPLO.TXT")},
         {.configName = "OTRA.TXT", .comboText = "OTRA.TXT", .list = remaining, .ejemplo = ""}},
        // Three deletions empty the list; a fourth click finds no name and asks nothing.
        {"BORRAR of every file", std::vector(4, clickOn(IDC_BORRAR)),
         {Answer::Yes, Answer::Ok, Answer::Yes, Answer::Ok, Answer::Yes, Answer::Ok},
         {question1, question2("EJEMPLO.TXT"), question1, question2("OTRA.TXT"), question1,
          question2("ROTA.TXT")},
         {.configName = "", .selection = NO_SELECTION, .comboText = "", .list = {}, .ejemplo = ""}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenDialog d(c.opened);
        test::writeFile(d.rig.drivePath("KAPTOR/CONFIG.TXT"), "ROTA.TXT\r\n");
        for (const Answer answer : c.answers) {
            d.rig.person.queueAnswer(answer);
        }
        std::vector<test::DialogSnapshot> none;
        test::perform(d.view, c.actions, none);
        const test::DialogSnapshot shown = test::snapshotOf(d.view);
        const Left& e = c.left;
        EXPECT_EQ(
            std::tuple(d.rig.person.texts(), d.dialog().outcome(),
                       d.view.ended() ? d.view.endCode() : 0, d.dialog().isOpen(), d.selector(),
                       d.settings().configName, shown.selection, shown.comboText, shown.list,
                       readFile(d.rig.drivePath("KAPTOR/CONFIG/EJEMPLO.TXT")),
                       d.view.text(IDC_PIXELS_PER_LINE)),
            std::tuple(c.messages, e.outcome, e.endCode, e.endCode == 0, e.selector, e.configName,
                       e.selection, e.comboText, e.list, e.ejemplo, e.pixels));
        if (!c.answers.empty()) {
            EXPECT_EQ(d.rig.person.messages()[0].buttons, platform::Buttons::YesNo);
        }
    }
}

}  // namespace
}  // namespace kaptor::control
