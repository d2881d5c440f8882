#include "cli/dialog_commands.h"

#include <cstdio>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "host/field_setting.h"
#include "platform/text.h"

namespace kaptor::cli {
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
    std::vector<host::Assignment> assignments;
    for (const std::string& text : assignmentTexts) {
        const auto equals = text.find('=');
        const std::string name = text.substr(0, equals);
        auto check =
            equals == std::string::npos
                ? host::AssignmentCheck{host::AssignmentFault::UnknownName, {}, {}}
                : host::checkAssignment(name, platform::utf8ToCp1252(text.substr(equals + 1)));
        switch (check.fault) {
            case host::AssignmentFault::None:
                assignments.push_back(std::move(check.assignment));
                continue;
            case host::AssignmentFault::UnknownName:
                std::fprintf(stderr,
                             "kaptor: config set: '%s' is not NAME=VALUE with NAME a field of the "
                             "dialog (see 'kaptor config show')\n",
                             text.c_str());
                break;
            case host::AssignmentFault::Dicom:
                std::fprintf(stderr,
                             "kaptor: config set: dicom cannot be changed: its box in the "
                             "dialog is disabled\n");
                break;
            case host::AssignmentFault::NotAFlag:
                std::fprintf(stderr, "kaptor: config set: %s takes 0 or 1\n", name.c_str());
                break;
            case host::AssignmentFault::Refused:
                // The dialog's own message, as it would show it.
                host.person().messageBox(check.refusal);
                break;
        }
        return EXIT_USAGE;
    }

    control::CKAPTORAXCtrl& ctrl = host.control();
    if (!host::typeIntoDialog(ctrl, assignments)) {
        std::fprintf(stderr,
                     "kaptor: config set: the dialog refused the configuration in use; "
                     "nothing was saved\n");
        return EXIT_USAGE;
    }
    ctrl.saveConfiguration();
    return host.exitStatus(EXIT_DONE);
}

}  // namespace kaptor::cli
