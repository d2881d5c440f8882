// A control on a drive of its own, with the scripted operator, the virtual clock and the
// simulated board in this process: what a host would see, without a display or a device.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "boardsim/board.h"
#include "boardsim/d2xx_functions.h"
#include "control/kaptorax_ctrl.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/library_loader.h"
#include "platform/process_exit.h"
#include "platform/scripted_operator.h"
#include "tests/support/dialog_scenario.h"
#include "tests/support/temp_dir.h"

namespace kaptor::test {

// The worked example: 640 x 496, interlaced.
extern const char* const EXAMPLE_CONFIG;

// Dialog runs answered by the test: each run opens the in-memory window and does the next
// opening's actions from the queue; a window they leave open is closed with CANCELAR.
class ScriptedDialogRunner : public control::DialogRunner {
  public:
    void queue(std::vector<PersonAction> actions) { openings_.push_back(std::move(actions)); }
    void runConfigDialog(control::CBoardConfigDlg& dialog) override;
    void runAboutBox() override { ++aboutBoxes; }
    int runs = 0;
    int aboutBoxes = 0;
    std::vector<DialogSnapshot> snapshots;

  private:
    std::vector<std::vector<PersonAction>> openings_;
};

struct RigOptions {
    boardsim::SimConfig sim;
    std::vector<std::uint8_t> replay;  // when not empty, every 'A' sends exactly these bytes
    bool withBoardLibrary = true;      // false: "Ftd2xx.dll" cannot be loaded
    std::vector<std::string> hiddenFunctions;
    // Runs the control's dialogs instead of the rig's scripted runner (borrowed).
    control::DialogRunner* dialogRunner = nullptr;
};

class Rig {
  public:
    explicit Rig(RigOptions options = {});

    // Writes the selector naming name and the configuration file of that name.
    void writeConfig(const std::string& text, const std::string& name = "EJEMPLO.TXT");
    std::filesystem::path drivePath(const std::string& relative) const;

    // Writes the configuration, points destinoimagen at c:\KAPTOR\Imagen1.BMP, runs Inicializa.
    void initialise(const std::string& configText);
    // The picture file Toma wrote there (empty when there is none).
    std::vector<std::uint8_t> picture() const;

    // Runs f; returns the exit status when the control ended the process.
    std::optional<int> runUntilExit(const std::function<void()>& f);

    TempDir drive;
    platform::VirtualClock clock;
    platform::ScriptedOperator person;
    platform::ThrowingProcessExit processExit;
    platform::InProcessLibraryLoader libraries;
    ScriptedDialogRunner dialogs;
    std::unique_ptr<platform::HostFileSystem> files;
    std::unique_ptr<boardsim::Board> board;
    std::unique_ptr<boardsim::ScopedActiveBoard> activeBoard;
    std::unique_ptr<control::CKAPTORAXCtrl> ctrl;
};

std::string hex(const std::vector<std::uint8_t>& bytes);

}  // namespace kaptor::test
