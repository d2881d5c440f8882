// Dialog 201 on real controls: the same scenarios run through the in-memory window and through
// the Win32 dialog, driven by a second thread as a person would use it, and must leave the same
// record, messages, files, board frames and control states behind.
#include "tests/support/dialog_scenario.h"
#include "tests/support/rig.h"

#include <gtest/gtest.h>

#include <future>
#include <map>
#include <tuple>
#include <utility>

#include "control/win32/config_dialog_window.h"
#include "control/win32/win32_dialog_view.h"
#include "platform/win32/wide_text.h"
#include "tests/windows/com_support.h"

namespace kaptor::test {
namespace {

using control::IDC_ACEPTAR;
using control::IDC_APLICAR;
using control::IDC_CANCELAR;
using control::IDC_CONFIG_NAME;
using platform::Answer;

const char* const OTRA_CONFIG =
    "Otra\r\nlinea\r\n320\r\n100\r\n240\r\n18\r\n400\r\n1\r\n0\r\n200\r\n32\r\n5\r\n-3\r\n0\r\n"
    "1\r\n1\r\n";

// A person at the real dialog: each opening's actions, taken from a second thread while the
// dialog runs modally on the control's thread.
class Win32ScenarioRunner : public control::DialogRunner {
  public:
    explicit Win32ScenarioRunner(const DialogScenario& scenario) : scenario_(scenario) {}

    void runConfigDialog(control::CBoardConfigDlg& dialog) override {
        const std::size_t index = static_cast<std::size_t>(runs++);
        const std::vector<PersonAction> none;
        const auto& actions = index < scenario_.openings.size() ? scenario_.openings[index] : none;
        const DWORD thread = ::GetCurrentThreadId();
        auto driver =
            std::async(std::launch::async, [this, thread, &actions] { drive(thread, actions); });
        win32::runConfigDialogWindow(::GetModuleHandleW(nullptr), nullptr, dialog);
        driver.get();
    }
    void runAboutBox() override {}

    std::vector<DialogSnapshot> snapshots;
    int runs = 0;

  private:
    void drive(DWORD thread, const std::vector<PersonAction>& actions) {
        const HWND dialog = waitForWindow(thread, "Configuracion de placa de captura");
        if (dialog == nullptr) {
            return;  // no snapshots: the comparison shows it
        }
        const HWND combo = ::GetDlgItem(dialog, IDC_CONFIG_NAME);
        bool dropped = false;
        // The list closes when the person turns to anything else.
        const auto closeList = [&] {
            if (dropped) {
                ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
                dropped = false;
            }
        };
        for (const PersonAction& action : actions) {
            switch (action.kind) {
                case PersonAction::Kind::Type:
                    type(dialog, combo, action);
                    break;
                case PersonAction::Kind::Click:
                    closeList();
                    ::SendMessageW(::GetDlgItem(dialog, action.id), BM_CLICK, 0, 0);
                    break;
                case PersonAction::Kind::Pick:
                    closeList();
                    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(action.entry - 1), 0);
                    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CONFIG_NAME, CBN_SELCHANGE),
                                   reinterpret_cast<LPARAM>(combo));
                    break;
                case PersonAction::Kind::Drop:
                    ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
                    dropped = true;
                    break;
                case PersonAction::Kind::Snapshot:
                    snapshots.push_back(snapshotOf(win32::Win32DialogView(dialog)));
                    // The first state a scenario shows is the one a person sees first.
                    if (!std::exchange(screenshotTaken_, true)) {
                        saveScreenshot(dialog, "config_dialog_201");
                    }
                    break;
            }
            if (!stillOpen(dialog)) {
                return;
            }
        }
        closeList();
        if (stillOpen(dialog)) {
            ::SendMessageW(::GetDlgItem(dialog, IDC_CANCELAR), BM_CLICK, 0, 0);
        }
    }

    // EndDialog hides the window at once, but the window lives on until the modal loop has
    // returned: a click sent in between would still reach the dialog and change its result.
    static bool stillOpen(HWND dialog) { return ::IsWindow(dialog) && ::IsWindowVisible(dialog); }

    // An edit box takes its new text whole; the combo box's edit field is typed into one
    // character at a time over its selected content, as a person types.
    static void type(HWND dialog, HWND combo, const PersonAction& action) {
        if (action.id != IDC_CONFIG_NAME) {
            ::SendMessageW(::GetDlgItem(dialog, action.id), WM_SETTEXT, 0,
                           reinterpret_cast<LPARAM>(platform::cp1252ToWide(action.text).c_str()));
            return;
        }
        const HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        for (const wchar_t c : platform::cp1252ToWide(action.text)) {
            ::SendMessageW(edit, WM_CHAR, c, 0);
        }
    }

    const DialogScenario& scenario_;
    static inline bool screenshotTaken_ = false;
};

// What a run of Set leaves behind: how often the dialog opened, the messages, the record, the
// files under \KAPTOR\, the board's frames, the beeps and the snapshots (described).
template <typename Runner>
auto runSet(const DialogScenario& scenario, Runner& runner) {
    Rig rig(RigOptions{.replay = replayFrame(), .dialogRunner = &runner});
    rig.writeConfig(OTRA_CONFIG, "OTRA.TXT");
    rig.writeConfig(OTRA_CONFIG, "CONFIGURACION_DE_LA_SALA_NORTE.TXT");  // 34 characters
    rig.initialise(EXAMPLE_CONFIG);
    for (const Answer answer : scenario.answers) {
        rig.person.queueAnswer(answer);
    }
    rig.ctrl->Set();
    std::map<std::string, std::string> files;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(rig.drivePath("KAPTOR"))) {
        if (entry.is_regular_file()) {
            files[entry.path().lexically_relative(rig.drive.path()).generic_string()] =
                readFile(entry.path());
        }
    }
    std::vector<std::string> snapshots;
    for (const DialogSnapshot& snapshot : runner.snapshots) {
        snapshots.push_back(describe(snapshot));
    }
    return std::tuple(runner.runs, rig.person.texts(), rig.ctrl->settings(), files,
                      rig.board->frames(), rig.person.beeps(), snapshots);
}

TEST(ConfigDialogWindow, RealControlsBehaveAsTheInMemoryWindow) {
    // The list holds the long name, EJEMPLO.TXT (in use) and OTRA.TXT, in that order.
    const DialogScenario scenarios[] = {
        // clang-format off
        {"CANCELAR after an edit and a check-box click",
         {{typeInto(1027, "320"), clickOn(1133), snapshotNow(), clickOn(IDC_CANCELAR)}}},
        {"APLICAR, APLICAR, ACEPTAR", {{typeInto(1030, "90"), snapshotNow(), clickOn(IDC_APLICAR)},
          {snapshotNow(), clickOn(IDC_APLICAR)}, {snapshotNow(), clickOn(IDC_ACEPTAR)}},
         {Answer::Ok, Answer::Ok, Answer::Ok}},
        {"typing the name with the list closed and a bad entry elsewhere",
         {{typeInto(1030, "x"), typeInto(IDC_CONFIG_NAME, "EJX"), snapshotNow()}}},
        {"typing the start of an entry with the list dropped",
         {{dropList(), typeInto(IDC_CONFIG_NAME, "ot"), snapshotNow()}}},
        {"BORRAR, both questions answered", {{clickOn(control::IDC_BORRAR), snapshotNow()}},
         {Answer::Yes, Answer::Ok}},
        {"ticking Inversion de Campo with a bad interleave entry",
         {{typeInto(1021, "uno"), clickOn(1133), snapshotNow(), clickOn(1133), snapshotNow()}}},
        {"the long name picked, then ACEPTAR",
         {{pickEntry(1), clickOn(IDC_ACEPTAR), snapshotNow()}}},
        // clang-format on
    };
    const Apartment apartment;
    for (const DialogScenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        ScriptedDialogRunner inMemory;
        for (const auto& opening : scenario.openings) {
            inMemory.queue(opening);
        }
        const auto expected = runSet(scenario, inMemory);
        Win32ScenarioRunner real(scenario);
        const auto seen = runSet(scenario, real);
        EXPECT_EQ(seen, expected);
    }
}

}  // namespace
}  // namespace kaptor::test
