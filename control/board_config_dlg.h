// The configuration dialog: it holds the control's one BoardSettings record, the name list of
// the configuration folder and the outcome of its last modal run, and carries the dialog's whole
// behaviour. It talks to its window through a DialogView and to the operator through the
// operator seam; the window delivers each notification to onCommand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "control/board_settings.h"
#include "control/configuration_files.h"
#include "control/dialog_view.h"
#include "control/name_list.h"
#include "platform/operator.h"

namespace kaptor::control {

// How the dialog was left: still open (or never shown), or by one of its three buttons.
enum class Outcome : std::int32_t { Open = 0, Aceptar = 1, Aplicar = 2, Cancelar = 3 };

class DialogRunner;

class CBoardConfigDlg {
  public:
    CBoardConfigDlg(ConfigurationFiles& files, platform::Operator& person);

    // One modal run through runner; the outcome tells which button left it (APLICAR asks for a
    // test image and another run).
    Outcome run(DialogRunner& runner);
    Outcome outcome() const { return outcome_; }

    // The window's life: opening attaches the view, closing detaches it.
    void onInitDialog(DialogView& view);
    void onWindowClosed() { view_ = nullptr; }
    bool isOpen() const { return view_ != nullptr; }
    // The message map: routes a control's notification to its handler; false when the map has
    // none for it, so that a window leaves the message to its default handling.
    bool onCommand(int controlId, Notification notification);

    // Handlers.
    void onAplicar();
    void onAceptar();
    void onCancelar();
    void onDicomClicked();
    void onFieldInversionClicked();
    void onSingleFieldClicked();
    void onNameEdited();
    void onNamePicked();
    void onBorrar();

    // The fields to and from the record; saving reports whether every entry was accepted.
    bool saveFields(bool leaving = false);
    void showFields();

    // File operations on the record and the name list.
    void reloadConfiguration();
    void writeSelector();
    void listConfigurations();
    std::string getListEntry() const;
    void deleteConfiguration();
    // Lists the configuration folder and gives its names in the list's order.
    std::vector<std::string> configurationNames();

    BoardSettings settings;

  private:
    // The dialog's OK step: the fields are saved and the loop ends only when that succeeds.
    void okStep();
    void flipFlagAndSave(std::int32_t& flag);
    void fillList();

    ConfigurationFiles& files_;
    platform::Operator& operator_;
    DialogView* view_ = nullptr;  // the open window, borrowed while the modal loop runs
    Outcome outcome_ = Outcome::Open;
    NameList names_;
};

// Runs the control's modal windows: the configuration dialog and the about box.
class DialogRunner {
  public:
    virtual ~DialogRunner() = default;
    // Shows the dialog modally; when it returns, the dialog's outcome tells how it was left.
    virtual void runConfigDialog(CBoardConfigDlg& dialog) = 0;
    virtual void runAboutBox() = 0;
};

}  // namespace kaptor::control
