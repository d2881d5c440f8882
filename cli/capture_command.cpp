#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/output_pattern.h"
#include "cli/text_output.h"
#include "cli/usage.h"
#include "control/kaptorax_ctrl.h"
#include "host/picture_formats.h"
#include "platform/host_process.h"
#include "platform/text.h"

namespace kaptor::cli {
namespace {

using host::PictureFormat;

enum CaptureOption { OUTPUT = 'o', FORMAT = 1, COUNT, INTERVAL };

constexpr const char* DEFAULT_DESTINATION = "c:\\KAPTOR\\Imagen1.BMP";
constexpr const char* STANDARD_OUTPUT = "-";

struct CaptureRequest {
    std::string output = DEFAULT_DESTINATION;  // pattern; "-" for standard output
    PictureFormat format = PictureFormat::Bmp;
    int count = 1;
    double interval = 0;  // seconds between the starts of two captures
};

bool isWindowsPath(const std::string& path) {
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && path[0] == '\\');
}

// A Windows path ("c:\...", "\...") is the control's own; a path of this machine is made
// absolute so that it means here what it meant to the user.
std::string toControlPath(const std::string& path) {
    if (isWindowsPath(path)) {
        return platform::utf8ToCp1252(path);
    }
    std::error_code ec;
    return platform::utf8ToCp1252(std::filesystem::absolute(path, ec).string());
}

std::tm localTime(std::time_t time) {
    std::tm out{};
#ifdef _WIN32
    localtime_s(&out, &time);
#else
    localtime_r(&time, &out);
#endif
    return out;
}

bool parseCount(const std::string& text, int& count) {
    try {
        std::size_t used = 0;
        count = std::stoi(text, &used);
        return used == text.size() && count >= 1;
    } catch (const std::exception&) {
        return false;
    }
}

bool parseSeconds(const std::string& text, double& seconds) {
    try {
        std::size_t used = 0;
        seconds = std::stod(text, &used);
        return used == text.size() && seconds >= 0 && seconds <= 86400.0 * 365;
    } catch (const std::exception&) {
        return false;
    }
}

std::optional<CaptureRequest> readRequest(const CommandLine& line) {
    CaptureRequest request;
    std::optional<PictureFormat> format;
    const auto wrong = [](const char* option, const std::string& value, const char* expected) {
        std::fprintf(stderr, "kaptor: capture: %s '%s' is not %s\n", option, value.c_str(),
                     expected);
        return std::nullopt;
    };
    for (const ParsedOption& option : line.options) {
        switch (option.id) {
            case OUTPUT:
                if (!platform::utf8ToControlText(option.value)) {
                    return wrong("-o", option.value, "a path the control can hold (Windows-1252)");
                }
                request.output = option.value;
                break;
            case FORMAT:
                format = host::formatNamed(option.value);
                if (!format) {
                    return wrong("--format", option.value, "bmp, png or pgm");
                }
                break;
            case COUNT:
                if (!parseCount(option.value, request.count)) {
                    return wrong("--count", option.value, "a whole number from 1");
                }
                break;
            case INTERVAL:
                if (!parseSeconds(option.value, request.interval)) {
                    return wrong("--interval", option.value, "a number of seconds");
                }
                break;
            default:
                break;
        }
    }
    if (!line.operands.empty()) {
        std::fprintf(stderr, "kaptor: capture: unexpected '%s'\nTry 'kaptor capture --help'.\n",
                     line.operands.front().c_str());
        return std::nullopt;
    }
    if (request.output != STANDARD_OUTPUT) {
        // A pattern is checked before anything is done; its fields never make it fail later.
        std::string error;
        if (!expandOutputPattern(request.output, localTime(std::time(nullptr)), request.count,
                                 error)) {
            std::fprintf(stderr, "kaptor: capture: %s\n", error.c_str());
            return std::nullopt;
        }
    }
    request.format =
        format.value_or(host::formatOfPath(request.output).value_or(PictureFormat::Bmp));
    if (request.format == PictureFormat::Png && !host::pngAvailable()) {
        std::fprintf(stderr, "kaptor: capture: png not available in this build\n");
        return std::nullopt;
    }
    return request;
}

// Turns the control's BMP into the bytes of the wanted format; says why not, on failure.
std::optional<std::string> convert(const std::string& bmp, PictureFormat format) {
    if (format == PictureFormat::Bmp) {
        return bmp;
    }
    const auto picture = host::decodeControlBmp(bmp);
    if (!picture) {
        std::fprintf(stderr, "kaptor: capture: the control's picture cannot be read back\n");
        return std::nullopt;
    }
    if (format == PictureFormat::Pgm) {
        return host::encodePgm(*picture);
    }
    auto png = host::encodePng(*picture);
    if (!png) {
        std::fprintf(stderr, "kaptor: capture: a picture of %d x %d pixels cannot be a PNG\n",
                     picture->width, picture->height);
    }
    return png;
}

class Capturer {
  public:
    Capturer(Host& host, const CaptureRequest& request) : host_(host), request_(request) {}

    // One Toma, to the output for capture number; false when the picture was not delivered.
    bool capture(int number) {
        const std::tm when = localTime(std::time(nullptr));
        const bool toStandardOutput = request_.output == STANDARD_OUTPUT;
        std::string error;
        const auto expanded = toStandardOutput
                                  ? std::optional<std::string>(std::string())
                                  : expandOutputPattern(request_.output, when, number, error);
        if (!expanded) {
            std::fprintf(stderr, "kaptor: capture: %s\n", error.c_str());
            return false;
        }
        const std::string& destination = *expanded;
        const bool direct = !toStandardOutput && request_.format == PictureFormat::Bmp;
        host_.control().setDestinoimagen(direct ? toControlPath(destination)
                                                : std::string(host::PictureCatcher::PATH));
        host_.watcher().showProgress("kaptor: capture " + std::to_string(number) + " of " +
                                     std::to_string(request_.count) + ": waiting for the frame");
        automation::ExceptionInfo failure;
        const automation::HResult hr = host_.control().dispatch().invoke(
            control::DISPID_TOMA, automation::InvokeKind::Method, {}, nullptr, &failure);
        host_.watcher().clearProgress();
        if (hr == automation::RESULT_EXCEPTION) {
            reportMethodError(failure);
            return false;
        }
        if (direct) {
            const std::string path = host_.control().getDestinoimagen();
            std::printf("%s\n", shownPath(host_.files().hostPath(path), path).c_str());
            std::fflush(stdout);
            return true;
        }
        return deliver(destination);
    }

  private:
    bool deliver(const std::string& destination) {
        const auto bmp = host_.takeCaughtPicture();
        if (!bmp) {
            std::fprintf(stderr, "kaptor: capture: the control wrote no picture\n");
            return false;
        }
        const auto bytes = convert(*bmp, request_.format);
        if (!bytes) {
            return false;
        }
        if (destination.empty()) {
            platform::setBinaryMode(stdout);
            const bool ok = std::fwrite(bytes->data(), 1, bytes->size(), stdout) == bytes->size() &&
                            std::fflush(stdout) == 0;
            if (!ok) {
                std::fprintf(stderr,
                             "kaptor: capture: standard output took only part of the picture\n");
            }
            return ok;
        }
        const std::string path = toControlPath(destination);
        if (!platform::replaceWholeFile(host_.files(), path, *bytes)) {
            std::fprintf(stderr, "kaptor: capture: cannot write %s; a file already there is kept\n",
                         destination.c_str());
            return false;
        }
        std::printf("%s\n", shownPath(host_.files().hostPath(path), path).c_str());
        std::fflush(stdout);
        return true;
    }

    Host& host_;
    const CaptureRequest& request_;
};

}  // namespace

int runCapture(const Arguments& args, HostOptions options) {
    int status = EXIT_DONE;
    const auto line = parseCommandLine(*findCommand("capture"), args,
                                       {{"output", 'o', true, OUTPUT},
                                        {"format", 0, true, FORMAT},
                                        {"count", 0, true, COUNT},
                                        {"interval", 0, true, INTERVAL}},
                                       options, status);
    if (!line) {
        return status;
    }
    const auto request = readRequest(*line);
    if (!request) {
        return EXIT_USAGE;
    }
    Host host(std::move(options));
    host.suggestInitWhenUnconfigured();
    control::CKAPTORAXCtrl& ctrl = host.control();
    ctrl.setDirconfig("c:\\KAPTOR\\");
    if (!callMethod(ctrl, control::DISPID_INICIALIZA)) {
        status = EXIT_FAILURE_SHOWN;
    }
    Capturer capturer(host, *request);
    const auto interval = std::chrono::duration<double>(request->interval);
    auto next = std::chrono::steady_clock::now();
    for (int number = 1; number <= request->count; ++number) {
        if (number > 1) {
            next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(interval);
            std::this_thread::sleep_until(next);
        }
        if (!capturer.capture(number)) {
            status = EXIT_FAILURE_SHOWN;
        }
    }
    return host.exitStatus(status);
}

}  // namespace kaptor::cli
