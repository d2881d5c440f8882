// The configuration dialog object: it holds the control's one BoardSettings record, the name
// list of the configuration folder and the outcome of its last modal run, and offers the
// dialog-side file operations. Its window is shown through a DialogRunner.
#pragma once

#include <cstdint>
#include <string>

#include "control/board_settings.h"
#include "control/configuration_files.h"
#include "control/name_list.h"

namespace kaptor::control {

// How the dialog was left.
constexpr std::int32_t RESULT_OPEN = 0;
constexpr std::int32_t RESULT_ACEPTAR = 1;
constexpr std::int32_t RESULT_APLICAR = 2;
constexpr std::int32_t RESULT_CANCELAR = 3;

class CBoardConfigDlg {
  public:
    explicit CBoardConfigDlg(ConfigurationFiles& files);

    void reloadConfiguration();
    void writeSelector();
    void listConfigurations();
    std::string getListEntry() const;
    void deleteConfiguration();

    std::int32_t resultCode = RESULT_OPEN;
    NameList names;
    std::int32_t testImage = 0;
    BoardSettings settings;

  private:
    ConfigurationFiles& files_;
};

// Runs the control's modal windows: the configuration dialog and the about box. A host with
// windows shows them; a host without lets the dialog close as CANCELAR.
class DialogRunner {
  public:
    virtual ~DialogRunner() = default;
    // Shows the dialog modally; when it returns, resultCode and testImage tell how it was left.
    virtual void runConfigDialog(CBoardConfigDlg& dialog) = 0;
    virtual void runAboutBox() = 0;
};

}  // namespace kaptor::control
