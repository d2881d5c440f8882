#include "cli/dialog_commands.h"

#include <cstdio>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "control/dialog_exchange.h"
#include "control/in_memory_dialog_view.h"
#include "platform/text.h"

namespace kaptor::cli {
namespace {

using control::Conversion;
using control::ExchangeEntry;

struct Assignment {
    const ExchangeEntry* entry;
    std::string value;  // Windows-1252
};

// Types each value into its control (a check box is clicked when its state differs) and leaves
// with ACEPTAR; the dialog stays open when it refuses an entry, and is then cancelled.
class FieldSettingRunner : public control::DialogRunner {
  public:
    explicit FieldSettingRunner(const std::vector<Assignment>& assignments)
        : assignments_(assignments) {}

    void runConfigDialog(control::CBoardConfigDlg& dialog) override {
        control::InMemoryDialogView view(dialog);
        view.open();
        for (const Assignment& a : assignments_) {
            if (a.entry->conversion == Conversion::CheckState) {
                if (view.checked(a.entry->controlId) != (a.value == "1")) {
                    view.click(a.entry->controlId);
                }
            } else {
                view.type(a.entry->controlId, a.value);
            }
        }
        view.click(control::IDC_ACEPTAR);
        if (!view.ended()) {
            view.click(control::IDC_CANCELAR);
        }
    }
    void runAboutBox() override {}

  private:
    const std::vector<Assignment>& assignments_;
};

}  // namespace

int runSetCommand(HostOptions options, bool init) {
    Host host(std::move(options));
    control::CKAPTORAXCtrl& ctrl = host.control();
    // Where the test program points the control: APLICAR's test picture lands there.
    ctrl.setDirconfig("c:\\KAPTOR\\");
    ctrl.setDestinoimagen("c:\\KAPTOR\\Imagen1.BMP");
    if (init) {
        ctrl.Inicializa();
    }
    ctrl.Set();
    return host.exitStatus(host.dialogStepRefused() ? EXIT_FAILURE_SHOWN : EXIT_DONE);
}

int runSet(const Arguments& args, HostOptions options) {
    enum { INIT = 1 };
    int status = EXIT_DONE;
    const auto line =
        parseCommandLine(*findCommand("set"), args, {{"init", 0, false, INIT}}, options, status);
    if (!line) {
        return status;
    }
    if (!line->operands.empty()) {
        std::fprintf(stderr, "kaptor: set takes no arguments\nTry 'kaptor set --help'.\n");
        return EXIT_USAGE;
    }
    return runSetCommand(std::move(options), !line->options.empty());
}

int runConfigSetCommand(const std::vector<std::string>& assignmentTexts, HostOptions options) {
    // The person asked for this change: the overwrite question is answered yes.
    options.answers.push_front(platform::Answer::Ok);
    Host host(std::move(options));
    std::vector<Assignment> assignments;
    for (const std::string& text : assignmentTexts) {
        const auto equals = text.find('=');
        const std::string name = text.substr(0, equals);
        const ExchangeEntry* entry = control::findExchangeEntry(name);
        if (equals == std::string::npos || entry == nullptr) {
            std::fprintf(stderr,
                         "kaptor: config set: '%s' is not NAME=VALUE with NAME a field of the "
                         "dialog (see 'kaptor config show')\n",
                         text.c_str());
            return EXIT_USAGE;
        }
        const auto held = platform::utf8ToControlText(text.substr(equals + 1));
        if (!held) {
            std::fprintf(stderr,
                         "kaptor: config set: the value of %s holds a character the control "
                         "cannot keep (Windows-1252 only, no NUL)\n",
                         name.c_str());
            return EXIT_USAGE;
        }
        const std::string& value = *held;
        if (entry->controlId == control::IDC_DICOM) {
            std::fprintf(stderr,
                         "kaptor: config set: dicom cannot be changed: its box in the "
                         "dialog is disabled\n");
            return EXIT_USAGE;
        }
        if (entry->conversion == Conversion::CheckState) {
            if (value != "0" && value != "1") {
                std::fprintf(stderr, "kaptor: config set: %s takes 0 or 1\n", name.c_str());
                return EXIT_USAGE;
            }
        } else if (const auto converted = control::convertText(*entry, value, true);
                   !converted.refusal.empty()) {
            // The dialog's own message, as it would show it.
            host.person().messageBox(converted.refusal);
            return EXIT_USAGE;
        }
        assignments.push_back({entry, value});
    }

    control::CKAPTORAXCtrl& ctrl = host.control();
    ctrl.loadConfiguration();
    FieldSettingRunner runner(assignments);
    runner.runConfigDialog(ctrl.configDialog());
    if (ctrl.configDialog().resultCode != control::RESULT_ACEPTAR || ctrl.configDialog().isOpen()) {
        std::fprintf(stderr,
                     "kaptor: config set: the dialog refused the configuration in use; "
                     "nothing was saved\n");
        return EXIT_USAGE;
    }
    ctrl.saveConfiguration();
    return host.exitStatus(EXIT_DONE);
}

}  // namespace kaptor::cli
