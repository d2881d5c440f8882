#include <cstdio>
#include <filesystem>

#include "cli/commands.h"
#include "cli/usage.h"
#include "platform/text.h"

namespace kaptor::cli {
namespace {

// A Windows path ("c:\...", "\...") is the control's own; a path of this machine is made
// absolute so that it means here what it meant to the user.
std::string toControlPath(const std::string& path) {
    const bool windows = (path.size() >= 2 && path[1] == ':') || (!path.empty() && path[0] == '\\');
    if (windows) {
        return platform::utf8ToCp1252(path);
    }
    std::error_code ec;
    return platform::utf8ToCp1252(std::filesystem::absolute(path, ec).string());
}

}  // namespace

int runCapture(const Arguments& args, HostOptions options) {
    std::string destination = "c:\\KAPTOR\\Imagen1.BMP";
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::fputs(USAGE_CAPTURE, stdout);
            return 0;
        }
        if ((args[i] == "-o" || args[i] == "--output") && i + 1 < args.size()) {
            destination = toControlPath(args[++i]);
        } else {
            std::fprintf(stderr, "kaptor: capture: unexpected '%s'\n%s", args[i].c_str(),
                         USAGE_CAPTURE);
            return 2;
        }
    }
    Host host(std::move(options));
    control::CKAPTORAXCtrl& ctrl = host.control();
    ctrl.setDirconfig("c:\\KAPTOR\\");
    ctrl.setDestinoimagen(destination);
    ctrl.Inicializa();
    ctrl.Toma();
    const auto written = host.files().hostPath(ctrl.getDestinoimagen());
    std::printf("%s\n",
                written ? written->string().c_str() : platform::cp1252ToUtf8(destination).c_str());
    return 0;
}

}  // namespace kaptor::cli
