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
using test::Rig;
using test::typeInto;

// 320 x 240, not interlaced, every flag but dicom ticked.
const char* const OTRA_CONFIG =
    "Otra\r\nlinea\r\n320\r\n100\r\n240\r\n18\r\n400\r\n1\r\n0\r\n200\r\n32\r\n5\r\n-3\r\n0\r\n"
    "1\r\n1\r\n";

const std::string NOT_A_NUMBER(msg::VALIDATE_NOT_A_NUMBER);
const std::string NOT_NEGATIVE(msg::VALIDATE_NOT_NEGATIVE);
const std::string NOT_A_FILE_NAME(msg::VALIDATE_NOT_A_FILE_NAME);
const std::string TOO_LONG = "Escriba como m\xE1ximo 30 caracteres.";
std::string range(const std::string& low, const std::string& high) {
    return "Escriba un n\xFAmero entero entre " + low + " y " + high + ".";
}

// The member's value as text, whatever its type.
std::string memberText(const BoardSettings& s, std::string_view name) {
    const ExchangeEntry& entry = *findExchangeEntry(name);
    switch (entry.conversion) {
        case Conversion::Unsigned:
            return std::to_string(s.*entry.unsignedMember);
        case Conversion::ComboText:
            return s.configName;
        default:
            return std::to_string(s.*entry.signedMember);
    }
}

// A control whose selector names EJEMPLO.TXT, beside OTRA.TXT, and its dialog opened on the
// record the control loaded.
struct OpenDialog {
    explicit OpenDialog(const std::vector<std::string>& extraFiles = {}) {
        rig.writeConfig(OTRA_CONFIG, "OTRA.TXT");
        rig.writeConfig(EXAMPLE_CONFIG);
        for (const auto& name : extraFiles) {
            test::writeFile(rig.drivePath("KAPTOR/CONFIG/" + name), OTRA_CONFIG);
        }
        rig.ctrl->loadConfiguration();
        view.open();
    }
    CBoardConfigDlg& dialog() { return rig.ctrl->configDialog(); }
    const BoardSettings& settings() { return rig.ctrl->settings(); }
    std::string selector() { return readFile(rig.drivePath("KAPTOR/CONFIG.TXT")); }

    Rig rig;
    InMemoryDialogView view{rig.ctrl->configDialog()};
};

TEST(DialogExchange, EachEntryConvertsAndChecksItsText) {
    const struct {
        const char* member;
        const char* text;
        std::string refusal;  // empty: stored as expected
        const char* expected = "";
        bool leaving = false;
    } cases[] = {
        {"pixelInterleave", " 42\t", "", "42"},
        {"pixelInterleave", "255", "", "255"},
        {"pixelInterleave", "2", "", "2"},  // beyond the label's 0, 1, 2: the range is 0..255
        {"pixelInterleave", "256", range("0", "255")},
        {"pixelInterleave", "-1", range("0", "255")},
        {"pixelInterleave", "4x", NOT_A_NUMBER},
        {"pixelInterleave", "", NOT_A_NUMBER},
        {"pixelInterleave", "- 1", NOT_A_NUMBER},
        {"gain", "0", "", "0"},
        {"gain", "-5", NOT_NEGATIVE},
        {"gain", "-0", NOT_NEGATIVE},
        {"gain", "300", range("0", "255")},
        {"offset", "00000000000255", "", "255"},
        {"pixelsPerLine", "2047", "", "2047"},  // the label says 1023; the range is 0..2047
        {"pixelsPerLine", "2048", range("0", "2047")},
        {"pixelsPerLine", "99999999999999999999", range("0", "2047")},
        {"horizontalPosition", "256", range("0", "255")},
        {"pllPixelTotal", "2047", "", "2047"},
        {"inputConfig", "2047", "", "2047"},  // the label says 255
        {"sensitivity", "-2147483648", "", "-2147483648"},
        {"sensitivity", "2147483648", range("-2147483648", "2147483647")},
        {"activeLines", "2047", "", "2047"},
        {"verticalPosition", "-7", range("0", "255")},
        {"interlaced", "1", "", "1"},
        {"interlaced", "2", range("0", "1")},
        {"configName", "B.TXT", "", "B.TXT"},
        {"configName", "ABCDEFGHIJKLMNOPQRSTUVWXYZ.TXT", "", "ABCDEFGHIJKLMNOPQRSTUVWXYZ.TXT"},
        {"configName", "ABCDEFGHIJKLMNOPQRSTUVWXYZ1.TXT", TOO_LONG},
        {"configName", "..\\CONFIG.TXT", NOT_A_FILE_NAME},
        {"configName", "C:EVIL.TXT", NOT_A_FILE_NAME},
        {"configName", "A/B.TXT", NOT_A_FILE_NAME},
        {"configName", "..", NOT_A_FILE_NAME},
        {"configName", "A\r\nB.TXT", NOT_A_FILE_NAME},
        {"configName", "", "", ""},  // while editing, the name may be empty for a moment
        {"configName", "", NOT_A_FILE_NAME, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.member) + " <- '" + c.text + "'");
        OpenDialog d;
        const ExchangeEntry& entry = *findExchangeEntry(c.member);
        const std::string before = memberText(d.settings(), c.member);
        d.view.type(entry.controlId, c.text);
        const bool saved = d.dialog().saveFields(c.leaving);
        EXPECT_EQ(saved, c.refusal.empty());
        if (c.refusal.empty()) {
            EXPECT_TRUE(d.rig.person.texts().empty());
            EXPECT_EQ(memberText(d.settings(), c.member), c.expected);
        } else {
            EXPECT_EQ(d.rig.person.texts(), std::vector<std::string>{c.refusal});
            EXPECT_EQ(memberText(d.settings(), c.member), before);
            EXPECT_EQ(d.view.focused(), entry.controlId);
        }
    }
}

TEST(DialogExchange, StopsAtTheFirstRefusedEntryWithEarlierMembersStored) {
    OpenDialog d;
    const BoardSettings before = d.settings();
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
    bool reached = false;
    for (const ExchangeEntry& entry : EXCHANGE_TABLE) {
        SCOPED_TRACE(entry.name);
        reached = reached || entry.controlId == IDC_PLL_PIXEL_TOTAL;
        const std::string expected = reached ? memberText(before, entry.name) : "1";
        EXPECT_EQ(memberText(d.settings(), entry.name), expected);
    }
}

TEST(DialogExchange, ShowingWritesValuesAsTheyAreAndSelectsTheNamedEntry) {
    OpenDialog d;
    d.dialog().settings.gain = 300;
    d.dialog().settings.pixelsPerLine = -5;
    d.dialog().settings.singleField = 1;
    d.dialog().settings.configName = "otra";
    d.dialog().showFields();
    EXPECT_EQ(d.view.text(IDC_GAIN), "300");
    EXPECT_EQ(d.view.text(IDC_PIXELS_PER_LINE), "-5");
    EXPECT_TRUE(d.view.checked(IDC_SINGLE_FIELD));
    EXPECT_EQ(d.view.selection(), 1);
    EXPECT_EQ(d.view.comboText(), "OTRA.TXT");

    d.dialog().settings.configName = "NADA.TXT";
    d.dialog().showFields();
    EXPECT_EQ(d.view.comboText(), "NADA.TXT");
    EXPECT_TRUE(d.rig.person.texts().empty());
}

TEST(ConfigDialog, OpeningListsTheFolderAndSelectsTheNamedConfiguration) {
    const struct {
        const char* selector;
        int selection;
        const char* comboText;
    } cases[] = {
        {"EJEMPLO.TXT", 0, "EJEMPLO.TXT"},
        {"otra.txt", 1, "OTRA.TXT"},  // the list's own spelling
        {"NADA.TXT", NO_SELECTION, "NADA.TXT"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selector);
        Rig rig;
        rig.writeConfig(OTRA_CONFIG, "OTRA.TXT");
        rig.writeConfig(EXAMPLE_CONFIG, "EJEMPLO.TXT");
        test::writeFile(rig.drivePath("KAPTOR/CONFIG.TXT"), std::string(c.selector) + "\r\n");
        rig.ctrl->loadConfiguration();
        CBoardConfigDlg& dialog = rig.ctrl->configDialog();
        InMemoryDialogView view(dialog);
        view.open();
        EXPECT_EQ(view.listCount(), 2);
        EXPECT_EQ(view.listEntry(0), "EJEMPLO.TXT");
        EXPECT_EQ(view.listEntry(1), "OTRA.TXT");
        EXPECT_EQ(view.selection(), c.selection);
        EXPECT_EQ(view.comboText(), c.comboText);
        EXPECT_EQ(dialog.outcome(), Outcome::Open);
        EXPECT_EQ(view.focused(), IDC_ACEPTAR);
        EXPECT_FALSE(view.isEnabled(IDC_DICOM));
    }
}

// The selector names OTRA.TXT while the dialog shows EJEMPLO.TXT: only ACEPTAR writes it.
TEST(ConfigDialog, LeavingButtonsSetTheOutcomeAndTheSelector) {
    const std::string otra = "OTRA.TXT\r\n", ejemplo = "EJEMPLO.TXT\r\n";
    const test::PersonAction nueva = typeInto(IDC_CONFIG_NAME, "NUEVA.TXT");
    const struct {
        const char* name;
        std::vector<test::PersonAction> actions;
        Outcome outcome;
        int endCode;  // 0: still open
        std::string selector;
        std::vector<std::string> messages;
    } cases[] = {
        // clang-format off
        {"APLICAR", {clickOn(IDC_APLICAR)}, Outcome::Aplicar, END_OK, otra},
        {"APLICAR after typing a new name writes no selector",
         {nueva, clickOn(IDC_APLICAR)}, Outcome::Aplicar, END_OK, otra},
        {"APLICAR with a bad entry stays open", {typeInto(IDC_GAIN, "x"), clickOn(IDC_APLICAR)},
         Outcome::Aplicar, 0, otra, {NOT_A_NUMBER}},
        {"ACEPTAR after typing a new name",
         {nueva, clickOn(IDC_ACEPTAR)}, Outcome::Aceptar, END_OK, "NUEVA.TXT\r\n"},
        {"ACEPTAR with a bad entry: its message twice, the selector rewritten all the same",
         {nueva, typeInto(IDC_INTERLACED, "2"), clickOn(IDC_ACEPTAR)},
         Outcome::Aceptar, 0, ejemplo, {range("0", "1"), range("0", "1")}},
        {"ACEPTAR with an empty name", {typeInto(IDC_CONFIG_NAME, ""), clickOn(IDC_ACEPTAR)},
         Outcome::Aceptar, 0, ejemplo, {NOT_A_FILE_NAME, NOT_A_FILE_NAME}},
        {"ACEPTAR with a name that leads out of the folder",
         {typeInto(IDC_CONFIG_NAME, "..\\..\\BOOT.INI"), clickOn(IDC_ACEPTAR)},
         Outcome::Aceptar, 0, ejemplo, {NOT_A_FILE_NAME, NOT_A_FILE_NAME}},
        {"CANCELAR", {typeInto(IDC_GAIN, "x"), clickOn(IDC_CANCELAR)}, Outcome::Cancelar,
         END_CANCEL, otra},
        {"CANCELAR after a refused APLICAR",
         {typeInto(IDC_GAIN, "x"), clickOn(IDC_APLICAR), clickOn(IDC_CANCELAR)},
         Outcome::Cancelar, END_CANCEL, otra, {NOT_A_NUMBER}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenDialog d;
        test::writeFile(d.rig.drivePath("KAPTOR/CONFIG.TXT"), otra);
        std::vector<test::DialogSnapshot> none;
        test::perform(d.view, c.actions, none);
        EXPECT_EQ(d.dialog().outcome(), c.outcome);
        EXPECT_EQ(d.view.ended(), c.endCode != 0);
        EXPECT_EQ(d.dialog().isOpen(), c.endCode == 0);
        if (c.endCode != 0) {
            EXPECT_EQ(d.view.endCode(), c.endCode);
        }
        EXPECT_EQ(d.selector(), c.selector);
        EXPECT_EQ(d.rig.person.texts(), c.messages);
        EXPECT_EQ(readFile(d.rig.drivePath("KAPTOR/CONFIG/EJEMPLO.TXT")), EXAMPLE_CONFIG);
    }
}

TEST(ConfigDialog, CheckBoxesFlipTheirFlagAndSaveTheFields) {
    OpenDialog d;
    // A bad entry before the box in exchange order: its message, and the flag follows the box.
    d.view.type(IDC_PIXEL_INTERLEAVE, "uno");
    EXPECT_TRUE(d.view.click(IDC_FIELD_INVERSION));
    EXPECT_TRUE(d.view.checked(IDC_FIELD_INVERSION));
    EXPECT_EQ(d.settings().fieldInversion, 1);
    EXPECT_TRUE(d.view.click(IDC_FIELD_INVERSION));
    EXPECT_EQ(d.settings().fieldInversion, 0);
    EXPECT_EQ(d.rig.person.texts(), std::vector<std::string>(2, NOT_A_NUMBER));

    // With every entry valid a click stores them all.
    d.view.type(IDC_PIXEL_INTERLEAVE, "1");
    d.view.type(IDC_PIXELS_PER_LINE, "320");
    EXPECT_TRUE(d.view.click(IDC_SINGLE_FIELD));
    EXPECT_EQ(d.settings().singleField, 1);
    EXPECT_EQ(d.settings().pixelsPerLine, 320);
    EXPECT_EQ(d.settings().pixelInterleave, 1);

    // The Dicom box is disabled: a click does nothing.
    EXPECT_FALSE(d.view.click(IDC_DICOM));
    EXPECT_FALSE(d.view.checked(IDC_DICOM));
    EXPECT_EQ(d.settings().dicom, 0);
    EXPECT_EQ(d.rig.person.texts().size(), 2u);
    EXPECT_TRUE(d.dialog().isOpen());
}

TEST(ConfigDialog, TypingTheNameSavesTheFieldsOnlyWhileAnEntryIsSelected) {
    const struct {
        const char* name;
        bool dropped;
        const char* gain;
        const char* typed;
        std::size_t messages;
        const char* configName;
        int selection;
    } cases[] = {
        // One message per keystroke while the typed text still begins an entry.
        {"list dropped, bad entry", true, "x", "EJX", 2, "EJEMPLO.TXT", NO_SELECTION},
        {"list closed, bad entry", false, "x", "EJX", 0, "EJEMPLO.TXT", NO_SELECTION},
        {"list dropped, all valid", true, "128", "ot", 0, "ot", 1},
        {"list closed, all valid", false, "128", "OTRA.TXT", 0, "EJEMPLO.TXT", NO_SELECTION},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenDialog d;
        d.view.type(IDC_GAIN, c.gain);
        if (c.dropped) {
            d.view.drop();
        }
        d.view.type(IDC_CONFIG_NAME, c.typed);
        EXPECT_EQ(d.rig.person.texts().size(), c.messages);
        EXPECT_EQ(d.settings().configName, c.configName);
        EXPECT_EQ(d.view.selection(), c.selection);
        EXPECT_EQ(d.view.comboText(), c.typed);
        EXPECT_EQ(d.selector(), "EJEMPLO.TXT\r\n");
    }
}

TEST(ConfigDialog, PickingWritesTheSelectorAndReloadsThePickedFile) {
    OpenDialog d({"ROTA.TXT"});
    ASSERT_EQ(d.view.listEntry(2), "ROTA.TXT");
    // A bad entry elsewhere does not stop a pick: the picked file replaces the whole record.
    d.view.type(IDC_GAIN, "x");
    EXPECT_TRUE(d.view.pick(2));
    EXPECT_EQ(d.selector(), "OTRA.TXT\r\n");
    EXPECT_EQ(d.settings().pixelsPerLine, 320);
    EXPECT_EQ(d.settings().sensitivity, -3);
    EXPECT_EQ(d.settings().fieldInversion, 1);
    EXPECT_EQ(d.view.text(IDC_GAIN), "200");
    EXPECT_EQ(d.view.text(IDC_PIXELS_PER_LINE), "320");
    EXPECT_TRUE(d.view.checked(IDC_SINGLE_FIELD));
    EXPECT_EQ(d.view.selection(), 1);
    EXPECT_TRUE(d.rig.person.texts().empty());

    // A picked file that cannot be read: the selector names it, the values stay.
    std::filesystem::remove(d.rig.drivePath("KAPTOR/CONFIG/ROTA.TXT"));
    std::filesystem::create_directory(d.rig.drivePath("KAPTOR/CONFIG/ROTA.TXT"));
    EXPECT_TRUE(d.view.pick(3));
    EXPECT_EQ(d.selector(), "ROTA.TXT\r\n");
    EXPECT_EQ(d.rig.person.texts(), std::vector<std::string>{std::string(msg::CONFIG_OPEN_DIALOG)});
    EXPECT_EQ(d.settings().configName, "ROTA.TXT");
    EXPECT_EQ(d.settings().pixelsPerLine, 320);
    EXPECT_TRUE(d.dialog().isOpen());
    EXPECT_FALSE(d.view.pick(4));
}

TEST(ConfigDialog, LongNamePickedFromTheListCannotBeAccepted) {
    const std::string longName = "CONFIGURACION_DE_LA_SALA_NORTE.TXT";  // 34 characters
    OpenDialog d({longName});
    ASSERT_EQ(d.view.listEntry(0), longName);
    d.view.pick(1);
    EXPECT_EQ(d.selector(), longName + "\r\n");
    d.view.click(IDC_ACEPTAR);
    EXPECT_EQ(d.rig.person.texts(), std::vector<std::string>(2, TOO_LONG));
    EXPECT_EQ(d.selector(), longName + "\r\n");
    EXPECT_TRUE(d.dialog().isOpen());
    d.view.click(IDC_APLICAR);
    EXPECT_EQ(d.rig.person.texts().size(), 3u);
    EXPECT_TRUE(d.dialog().isOpen());
}

TEST(ConfigDialog, BorrarAsksTwiceAndDeletesOnlyTheStoredName) {
    const std::string question2 =
        "Borrar\xE1 el archivo: C:\\KAPTOR\\CONFIG\\EJEMPLO.TXT   \xBF"
        "ESTA SEGURO?";
    const std::string question1(msg::DELETE_QUESTION);
    const struct {
        const char* name;
        std::vector<Answer> answers;
        std::vector<std::string> questions;
        bool deleted;
    } cases[] = {
        {"no", {Answer::No}, {question1}, false},
        {"yes, cancel", {Answer::Yes, Answer::Cancel}, {question1, question2}, false},
        {"yes, ok", {Answer::Yes, Answer::Ok}, {question1, question2}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenDialog d;
        for (const Answer answer : c.answers) {
            d.rig.person.queueAnswer(answer);
        }
        // The typed name is not what is deleted: the stored one is.
        d.view.type(IDC_CONFIG_NAME, "OTRA.TXT");
        d.view.click(IDC_BORRAR);
        EXPECT_EQ(d.rig.person.texts(), c.questions);
        EXPECT_EQ(d.rig.person.messages()[0].buttons, platform::Buttons::YesNo);
        EXPECT_EQ(std::filesystem::exists(d.rig.drivePath("KAPTOR/CONFIG/EJEMPLO.TXT")),
                  !c.deleted);
        EXPECT_TRUE(std::filesystem::exists(d.rig.drivePath("KAPTOR/CONFIG/OTRA.TXT")));
        if (c.deleted) {
            EXPECT_EQ(d.view.listCount(), 1);
            EXPECT_EQ(d.settings().configName, "OTRA.TXT");
            EXPECT_EQ(d.view.selection(), 0);
            EXPECT_EQ(d.view.comboText(), "OTRA.TXT");
            // The fields still show the deleted configuration, and the selector still names it.
            EXPECT_EQ(d.view.text(IDC_PIXELS_PER_LINE), "640");
            EXPECT_EQ(d.selector(), "EJEMPLO.TXT\r\n");
        }
    }
}

TEST(ConfigDialog, BorrarOfTheLastFileLeavesNoNameAndThenAsksNothing) {
    OpenDialog d;
    for (int i = 0; i < 2; ++i) {
        d.rig.person.queueAnswer(Answer::Yes);
        d.rig.person.queueAnswer(Answer::Ok);
        d.view.click(IDC_BORRAR);
    }
    EXPECT_EQ(d.view.listCount(), 0);
    EXPECT_EQ(d.settings().configName, "");
    EXPECT_EQ(d.view.comboText(), "");
    EXPECT_EQ(d.rig.person.texts().size(), 4u);
    d.rig.person.queueAnswer(Answer::Yes);
    d.rig.person.queueAnswer(Answer::Ok);
    d.view.click(IDC_BORRAR);
    EXPECT_EQ(d.rig.person.texts().size(), 4u);
    EXPECT_TRUE(std::filesystem::is_empty(d.rig.drivePath("KAPTOR/CONFIG")));
}

}  // namespace
}  // namespace kaptor::control
