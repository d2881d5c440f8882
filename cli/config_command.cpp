#include <cstdio>
#include <filesystem>
#include <string_view>

#include "cli/commands.h"
#include "cli/dialog_commands.h"
#include "cli/exit_status.h"
#include "cli/sample_config.h"
#include "cli/text_output.h"
#include "cli/usage.h"
#include "control/config_text.h"
#include "control/configuration_files.h"
#include "control/messages.h"
#include "platform/text.h"

namespace kaptor::cli {

const char* const SAMPLE_CONFIG_NAME = "EJEMPLO.TXT";
const char* const SAMPLE_CONFIG_TEXT =
    "Ejemplo 640x496\r\nCamara de prueba\r\n640\r\n120\r\n248\r\n20\r\n800\r\n0\r\n1\r\n128\r\n"
    "64\r\n0\r\n10\r\n0\r\n0\r\n0\r\n";

namespace {

enum ConfigOption { JSON = 1 };

// The longest name the dialog's field takes.
constexpr std::size_t MAX_CONFIG_NAME = 30;

// Writes a file that is not there yet; says what it did.
bool layDown(platform::FileSystem& files, const std::string& path, std::string_view contents) {
    const auto host = files.hostPath(path);
    const std::string shown = shownPath(host, path);
    if (files.exists(path)) {
        std::printf("kept     %s\n", shown.c_str());
        return true;
    }
    std::error_code ec;
    if (host) {
        std::filesystem::create_directories(host->parent_path(), ec);
    }
    if (!platform::replaceWholeFile(files, path, contents)) {
        std::fprintf(stderr, "kaptor: cannot write %s\n", shown.c_str());
        return false;
    }
    std::printf("created  %s\n", shown.c_str());
    return true;
}

int init(platform::FileSystem& files) {
    const bool ok = layDown(files, std::string(control::SELECTOR_PATH),
                            std::string(SAMPLE_CONFIG_NAME) + "\r\n") &&
                    layDown(files, std::string(control::CONFIG_FOLDER) + SAMPLE_CONFIG_NAME,
                            SAMPLE_CONFIG_TEXT);
    return ok ? EXIT_DONE : EXIT_ENDED;
}

void show(control::CKAPTORAXCtrl& ctrl, bool json) {
    ctrl.loadConfiguration();
    const control::BoardSettings& s = ctrl.settings();
    const std::pair<const char*, std::string> texts[] = {
        {"configName", s.configName},
        {"textLine1", ctrl.textLine1()},
        {"textLine2", ctrl.textLine2()},
    };
    const std::pair<const char*, long long> fields[] = {
        {"pixelsPerLine", s.pixelsPerLine},
        {"horizontalPosition", s.horizontalPosition},
        {"activeLines", s.activeLines},
        {"verticalPosition", s.verticalPosition},
        {"pllPixelTotal", s.pllPixelTotal},
        {"pixelInterleave", s.pixelInterleave},
        {"interlaced", s.interlaced},
        {"gain", s.gain},
        {"offset", s.offset},
        {"inputConfig", s.inputConfig},
        {"sensitivity", s.sensitivity},
        {"dicom", s.dicom},
        {"fieldInversion", s.fieldInversion},
        {"singleField", s.singleField},
    };
    const char* separator = "{";
    for (const auto& [name, text] : texts) {
        if (json) {
            std::printf("%s\"%s\": %s", separator, name, jsonString(text).c_str());
            separator = ", ";
        } else {
            std::printf("%s=%s\n", name, lineValue(text).c_str());
        }
    }
    for (const auto& [name, value] : fields) {
        std::printf(json ? ", \"%s\": %lld" : "%s=%lld\n", name, value);
    }
    if (json) {
        std::printf("}\n");
    }
}

void list(control::CKAPTORAXCtrl& ctrl, bool json) {
    control::CBoardConfigDlg& dialog = ctrl.configDialog();
    dialog.listConfigurations();
    const char* separator = "[";
    for (std::int32_t i = 1; i <= dialog.names.listCount; ++i) {
        dialog.names.listIndex = i;
        const std::string name = dialog.getListEntry();
        if (json) {
            std::printf("%s%s", separator, jsonString(name).c_str());
            separator = ", ";
        } else {
            std::printf("%s\n", lineValue(name).c_str());
        }
    }
    if (json) {
        std::printf("%s]\n", dialog.names.listCount > 0 ? "" : "[");
    }
}

// A name the selector may hold: a plain file name of at most 30 characters, no control
// characters, naming a configuration that is there. Says why not, and returns false.
bool selectable(Host& host, const std::string& name, const std::string& given) {
    const auto refuse = [&given](const char* why) {
        std::fprintf(stderr, "kaptor: config select: '%s' %s; nothing was written\n",
                     lineValue(platform::utf8ToCp1252(given)).c_str(), why);
        return false;
    };
    if (!control::isPlainFileName(name)) {
        return refuse("is not a plain file name");
    }
    if (name.size() > MAX_CONFIG_NAME) {
        return refuse("is longer than 30 characters");
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return refuse("holds a control character");
        }
    }
    if (!host.files().exists(std::string(control::CONFIG_FOLDER) + name)) {
        return refuse("is not in the configuration folder (see 'kaptor config list')");
    }
    return true;
}

int remove(Host& host, const std::string& name) {
    control::CBoardConfigDlg& dialog = host.control().configDialog();
    dialog.settings.configName = name;
    const std::string path = std::string(control::LIST_FOLDER) + name;
    const bool wasThere = control::isPlainFileName(name) && host.files().exists(path);
    const std::string question = std::string(control::msg::CONFIRM_DELETE_PREFIX) + path +
                                 std::string(control::msg::CONFIRM_DELETE_SUFFIX);
    const bool confirmed =
        host.person().messageBox(question, platform::Buttons::OkCancel, platform::Icon::Question) ==
        platform::Answer::Ok;
    if (confirmed) {
        dialog.deleteConfiguration();
    }
    if (wasThere && !host.files().exists(path)) {
        return EXIT_DONE;
    }
    const char* why = !confirmed  ? "the question was not answered ok"
                      : !wasThere ? "there is no such configuration"
                                  : "the file could not be removed";
    std::fprintf(stderr, "kaptor: config delete: nothing was deleted: %s\n", why);
    return EXIT_FAILURE_SHOWN;
}

}  // namespace

int runConfig(const Arguments& args, HostOptions options) {
    const Command& self = *findCommand("config");
    int status = EXIT_DONE;
    const auto line = parseCommandLine(self, args, {{"json", 0, false, JSON}}, options, status);
    if (!line) {
        return status;
    }
    const bool json = !line->options.empty();
    const auto& operands = line->operands;
    if (operands.empty()) {
        std::fputs(USAGE_CONFIG, stderr);
        return EXIT_USAGE;
    }
    const std::string& sub = operands[0];
    const bool known = sub == "init" || sub == "show" || sub == "list" || sub == "save" ||
                       sub == "select" || sub == "delete" || sub == "set";
    if (!known) {
        std::fprintf(stderr,
                     "kaptor: config: unknown subcommand '%s'\nTry 'kaptor config --help'.\n",
                     sub.c_str());
        return EXIT_USAGE;
    }
    if (sub == "set" && !json) {
        if (operands.size() < 2) {
            std::fprintf(stderr,
                         "kaptor: config set: needs NAME=VALUE...\nTry 'kaptor config --help'.\n");
            return EXIT_USAGE;
        }
        return runConfigSetCommand({operands.begin() + 1, operands.end()}, std::move(options));
    }
    const bool takesName = sub == "select" || sub == "delete";
    if (operands.size() != (takesName ? 2u : 1u)) {
        std::fprintf(stderr, "kaptor: config %s: %s\nTry 'kaptor config --help'.\n", sub.c_str(),
                     takesName ? "needs one NAME" : "takes no arguments");
        return EXIT_USAGE;
    }
    if (json && sub != "show" && sub != "list") {
        std::fprintf(stderr, "kaptor: config %s: --json is for show and list\n", sub.c_str());
        return EXIT_USAGE;
    }
    // A name with '?' in place of what the control cannot hold would name another file.
    const auto name = takesName ? platform::utf8ToControlText(operands[1]) : std::string();
    if (!name) {
        std::fprintf(stderr,
                     "kaptor: config %s: '%s' holds a character the control cannot keep "
                     "(Windows-1252 only); nothing was done\n",
                     sub.c_str(), operands[1].c_str());
        return EXIT_USAGE;
    }
    Host host(std::move(options));
    if (sub == "init") {
        return init(host.files());
    }
    if (sub == "show") {
        host.suggestInitWhenUnconfigured();
        show(host.control(), json);
    } else if (sub == "list") {
        list(host.control(), json);
    } else if (sub == "save") {
        host.control().loadConfiguration();
        host.control().saveConfiguration();
    } else if (sub == "select") {
        if (!selectable(host, *name, operands[1])) {
            return EXIT_USAGE;
        }
        control::CBoardConfigDlg& dialog = host.control().configDialog();
        dialog.settings.configName = *name;
        dialog.writeSelector();
    } else {
        return host.exitStatus(remove(host, *name));
    }
    return host.exitStatus(EXIT_DONE);
}

}  // namespace kaptor::cli
