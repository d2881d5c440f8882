#include <cstdio>
#include <filesystem>
#include <string_view>

#include "cli/commands.h"
#include "cli/usage.h"
#include "control/configuration_files.h"
#include "control/messages.h"
#include "platform/text.h"

namespace kaptor::cli {

using platform::cp1252ToUtf8;

const char* const SAMPLE_CONFIG_NAME = "EJEMPLO.TXT";
const char* const SAMPLE_CONFIG_TEXT =
    "Ejemplo 640x496\r\nCamara de prueba\r\n640\r\n120\r\n248\r\n20\r\n800\r\n0\r\n1\r\n128\r\n"
    "64\r\n0\r\n10\r\n0\r\n0\r\n0\r\n";

namespace {

// Writes a file that is not there yet; says what it did.
bool layDown(platform::FileSystem& files, const std::string& path, std::string_view contents) {
    const auto host = files.hostPath(path);
    if (files.exists(path)) {
        std::printf("kept     %s\n", host ? host->string().c_str() : path.c_str());
        return true;
    }
    std::error_code ec;
    if (host) {
        std::filesystem::create_directories(host->parent_path(), ec);
    }
    if (!platform::replaceWholeFile(files, path, contents)) {
        std::fprintf(stderr, "kaptor: cannot write %s\n",
                     host ? host->string().c_str() : path.c_str());
        return false;
    }
    std::printf("created  %s\n", host->string().c_str());
    return true;
}

int init(platform::FileSystem& files) {
    const bool ok = layDown(files, std::string(control::SELECTOR_PATH),
                            std::string(SAMPLE_CONFIG_NAME) + "\r\n") &&
                    layDown(files, std::string(control::CONFIG_FOLDER) + SAMPLE_CONFIG_NAME,
                            SAMPLE_CONFIG_TEXT);
    return ok ? 0 : 1;
}

void show(control::CKAPTORAXCtrl& ctrl) {
    ctrl.loadConfiguration();
    const control::BoardSettings& s = ctrl.settings();
    std::printf("configName=%s\n", cp1252ToUtf8(s.configName).c_str());
    std::printf("textLine1=%s\n", cp1252ToUtf8(ctrl.textLine1()).c_str());
    std::printf("textLine2=%s\n", cp1252ToUtf8(ctrl.textLine2()).c_str());
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
    for (const auto& [name, value] : fields) {
        std::printf("%s=%lld\n", name, value);
    }
}

void list(control::CKAPTORAXCtrl& ctrl) {
    control::CBoardConfigDlg& dialog = ctrl.configDialog();
    dialog.listConfigurations();
    for (std::int32_t i = 1; i <= dialog.names.listCount; ++i) {
        dialog.names.listIndex = i;
        std::printf("%s\n", cp1252ToUtf8(dialog.getListEntry()).c_str());
    }
}

void remove(Host& host, const std::string& name) {
    control::CBoardConfigDlg& dialog = host.control().configDialog();
    dialog.settings.configName = name;
    const std::string question = std::string(control::msg::CONFIRM_DELETE_PREFIX) +
                                 std::string(control::LIST_FOLDER) + name +
                                 std::string(control::msg::CONFIRM_DELETE_SUFFIX);
    if (host.person().messageBox(question, platform::Buttons::OkCancel, platform::Icon::Question) ==
        platform::Answer::Ok) {
        dialog.deleteConfiguration();
    }
}

}  // namespace

int runConfig(const Arguments& args, HostOptions options) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(USAGE_CONFIG, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    const std::string& sub = args[0];
    const bool takesName = sub == "select" || sub == "delete";
    if ((takesName && args.size() != 2) || (!takesName && args.size() != 1)) {
        std::fprintf(stderr, "kaptor: config %s: wrong number of arguments\n%s", sub.c_str(),
                     USAGE_CONFIG);
        return 2;
    }
    Host host(std::move(options));
    if (sub == "init") {
        return init(host.files());
    }
    if (sub == "show") {
        show(host.control());
    } else if (sub == "list") {
        list(host.control());
    } else if (sub == "save") {
        host.control().loadConfiguration();
        host.control().saveConfiguration();
    } else if (sub == "select") {
        control::CBoardConfigDlg& dialog = host.control().configDialog();
        dialog.settings.configName = platform::utf8ToCp1252(args[1]);
        dialog.writeSelector();
    } else if (sub == "delete") {
        remove(host, platform::utf8ToCp1252(args[1]));
    } else {
        std::fprintf(stderr, "kaptor: config: unknown subcommand '%s'\n%s", sub.c_str(),
                     USAGE_CONFIG);
        return 2;
    }
    return 0;
}

}  // namespace kaptor::cli
