#include "kaptor/kaptor.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

#include "control/board_settings.h"
#include "control/config_text.h"
#include "control/frame_acquisition.h"
#include "control/kaptorax_ctrl.h"
#include "host/beside_library.h"
#include "host/callback_operator.h"
#include "host/configuration_view.h"
#include "host/field_setting.h"
#include "host/hosted_control.h"
#include "host/interruptible_clock.h"
#include "host/picture_catcher.h"
#include "host/picture_formats.h"
#include "platform/file_system.h"
#include "platform/library_loader.h"
#include "platform/process_exit.h"
#include "platform/text.h"

namespace kaptor {
namespace {

// A session has no windows: the configuration dialog and the about box are not shown.
class NoDialogs : public control::DialogRunner {
  public:
    void runConfigDialog(control::CBoardConfigDlg&) override {}
    void runAboutBox() override {}
};

// The public formats are the host's, in the same order.
static_assert(static_cast<int>(PictureFormat::Bmp) == static_cast<int>(host::PictureFormat::Bmp) &&
              static_cast<int>(PictureFormat::Png) == static_cast<int>(host::PictureFormat::Png) &&
              static_cast<int>(PictureFormat::Pgm) == static_cast<int>(host::PictureFormat::Pgm));

platform::DriveMap driveMap(const std::map<char, std::filesystem::path>& drives) {
    if (drives.empty()) {
        return platform::DriveMap::fromEnvironment(
            [](const char* name) { return std::getenv(name); });
    }
    std::map<char, std::filesystem::path> roots;
    for (const auto& [letter, folder] : drives) {
        roots[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = folder;
    }
    return platform::DriveMap(std::move(roots));
}

std::string driverLibrary(const SessionOptions& options) {
    switch (options.board) {
        case Board::Simulated: {
            auto simulator = host::besideLibrary(host::SIMULATOR_LIBRARY);
            if (simulator.empty()) {
                // Never the real driver instead: with a board attached it would drive it.
                throw ControlError(
                    "the simulated board (libkaptorsim.so) is not installed with libkaptor", 0);
            }
            return simulator.string();
        }
        case Board::Named:
            return options.library.string();
        case Board::Default:
        default:
            // KAPTOR_D2XX_LIBRARY's when set, else ours installed with libkaptor; with neither,
            // the control looks for the system's D2XX library.
            if (const char* configured = std::getenv("KAPTOR_D2XX_LIBRARY");
                configured != nullptr && *configured != '\0') {
                return {};
            }
            return host::besideLibrary(host::DRIVER_LIBRARY).string();
    }
}

// A name or path from the program in the control's own text; one the control could not hold
// exactly would name another file, so it is refused.
std::string controlText(const std::string& text) {
    auto held = platform::utf8ToControlText(text);
    if (!held) {
        throw ConfigurationRefused("'" + text +
                                   "' holds a character the control cannot keep (Windows-1252 "
                                   "only, no NUL); nothing was written");
    }
    return std::move(*held);
}

// Reads the configuration in use before it is saved again: after a failed read (the control
// has shown why) saving would write blank lines and zeros over it.
void loadForSaving(control::CKAPTORAXCtrl& ctrl, const host::CallbackOperator& person) {
    const int before = person.messagesShown();
    ctrl.loadConfiguration();
    if (person.messagesShown() != before) {
        const Message& last = person.lastMessage();
        throw ControlError(last.text + "; the configuration could not be read, nothing was saved",
                           last.code);
    }
}

}  // namespace

ControlError::ControlError(const std::string& message, int code)
    : std::runtime_error(message), code_(code) {}

BoardError::BoardError(const std::string& message, int code, int status)
    : ControlError(message, code), status_(status) {}

Cancelled::Cancelled() : std::runtime_error("the capture was cancelled") {}

const char* version() {
    return KAPTOR_VERSION;
}

struct Session::State {
    explicit State(SessionOptions options)
        : person(std::move(options.onMessage), std::move(options.onQuestion)),
          hosted(
              driveMap(options.drives), driverLibrary(options),
              [this](const std::string& tried, const std::string& why) {
                  person.tell(
                      {"cannot load the board's driver library '" + tried + "' (" + why + ")", 0});
              },
              {person, clock, processExit, dialogs}) {
        hosted.control().setDirconfig("c:\\KAPTOR\\");
    }

    // Runs step on the control; the control's ending of the process closes the session and
    // becomes BoardError, a method's failure ControlError, the cancellation Cancelled.
    template <typename Step>
    auto run(Step step) {
        if (ended) {
            throw *ended;
        }
        if (hosted.ended()) {
            throw ControlError("the session is closed", 0);
        }
        try {
            return step(hosted.control());
        } catch (const platform::ProcessExitRequested& exit) {
            const Message& last = person.lastMessage();
            ended = BoardError(last.text, last.code, exit.status);
            closeBoard();
            throw *ended;
        } catch (const automation::MethodError& error) {
            throw ControlError(platform::cp1252ToUtf8(error.what()),
                               host::messageCode(error.what()));
        } catch (const host::CaptureCancelled&) {
            throw Cancelled();
        }
    }

    void closeBoard() { hosted.end(); }

    Picture capture(const CaptureOptions& options) {
        return run([&](control::CKAPTORAXCtrl& ctrl) {
            ctrl.setDestinoimagen(std::string(host::PictureCatcher::PATH));
            {
                host::InterruptibleClock::Armed armed(clock, options.cancelled);
                ctrl.Toma();
            }
            Picture picture;
            auto bmp = hosted.files().take();
            if (!bmp) {
                throw ControlError("the control wrote no picture", 0);
            }
            picture.width = ctrl.frameWidth();
            picture.height = ctrl.frameLines();
            const auto width = static_cast<std::size_t>(std::max(picture.width, 0));
            const auto height = static_cast<std::size_t>(std::max(picture.height, 0));
            // The control's buffer holds the rows bottom first, as its BMP does.
            picture.pixels.resize(width * height);
            const std::uint8_t* rows = ctrl.imageBuffer().data();
            for (std::size_t row = 0; row < height; ++row) {
                std::copy_n(rows + (height - 1 - row) * width, width,
                            picture.pixels.begin() + static_cast<std::ptrdiff_t>(row * width));
            }
            if (options.withBmp) {
                picture.bmp = std::move(*bmp);
            }
            return picture;
        });
    }

    host::CallbackOperator person;
    host::InterruptibleClock clock;
    platform::ThrowingProcessExit processExit;
    NoDialogs dialogs;
    host::HostedControl hosted;
    std::optional<BoardError> ended;
};

Session::Session(SessionOptions options) : state_(std::make_unique<State>(std::move(options))) {}
Session::~Session() {
    if (state_) {
        state_->closeBoard();
    }
}
Session::Session(Session&&) noexcept = default;
Session& Session::operator=(Session&&) noexcept = default;

void Session::initialize() {
    state_->run([](control::CKAPTORAXCtrl& ctrl) { ctrl.Inicializa(); });
}

FrameSize Session::frameSize() {
    return state_->run([](control::CKAPTORAXCtrl& ctrl) {
        const control::BoardSettings& s = ctrl.settings();
        const auto bytes = control::frameBytesWithin(s.pixelsPerLine, control::frameLinesOf(s),
                                                     control::IMAGE_BUFFER_SIZE);
        if (!bytes || *bytes == 0) {
            return FrameSize{};
        }
        return FrameSize{s.pixelsPerLine, static_cast<std::int32_t>(control::frameLinesOf(s))};
    });
}

Picture Session::capture(const CaptureOptions& options) {
    return state_->capture(options);
}

Picture Session::capture(const std::filesystem::path& path, std::optional<PictureFormat> format,
                         const CaptureOptions& options) {
    const std::string given = path.string();
    const auto kind = format.value_or(
        static_cast<PictureFormat>(host::formatOfPath(given).value_or(host::PictureFormat::Bmp)));
    CaptureOptions withBmp = options;
    withBmp.withBmp = true;
    Picture picture = state_->capture(withBmp);
    std::string bytes;
    if (kind == PictureFormat::Bmp) {
        bytes = picture.bmp;
    } else {
        const host::GrayPicture gray{picture.width, picture.height, picture.pixels};
        if (kind == PictureFormat::Pgm) {
            bytes = host::encodePgm(gray);
        } else if (auto png = host::encodePng(gray)) {
            bytes = std::move(*png);
        } else {
            throw ControlError("png not available in this build", 0);
        }
    }
    std::error_code ec;
    const auto target = platform::utf8ToControlText(std::filesystem::absolute(path, ec).string());
    if (!target) {
        throw ControlError(given +
                               " holds a character the control cannot keep (Windows-1252 "
                               "only, no NUL); nothing was written",
                           0);
    }
    if (!platform::replaceWholeFile(state_->hosted.files(), *target, bytes)) {
        throw ControlError("cannot write " + given + "; a file already there is kept", 0);
    }
    if (!options.withBmp) {
        picture.bmp.clear();
    }
    return picture;
}

std::vector<std::pair<std::string, std::string>> Session::textSettings() {
    return state_->run([](control::CKAPTORAXCtrl& ctrl) {
        ctrl.loadConfiguration();
        std::vector<std::pair<std::string, std::string>> out;
        for (const auto& [name, text] : host::namedSettings(ctrl).texts) {
            out.emplace_back(name, platform::cp1252ToUtf8(text));
        }
        return out;
    });
}

std::vector<std::pair<std::string, long long>> Session::numberSettings() {
    return state_->run([](control::CKAPTORAXCtrl& ctrl) {
        ctrl.loadConfiguration();
        std::vector<std::pair<std::string, long long>> out;
        for (const auto& [name, value] : host::namedSettings(ctrl).numbers) {
            out.emplace_back(name, value);
        }
        return out;
    });
}

void Session::configure(const std::vector<std::pair<std::string, std::string>>& values) {
    std::vector<host::Assignment> assignments;
    for (const auto& [name, value] : values) {
        auto check = host::checkAssignment(name, value);
        if (check.fault != host::AssignmentFault::None) {
            throw ConfigurationRefused(host::faultText(check, name));
        }
        assignments.push_back(std::move(check.assignment));
    }
    state_->run([&](control::CKAPTORAXCtrl& ctrl) {
        loadForSaving(ctrl, state_->person);
        // The program asked for this change: the overwrite question is answered yes.
        state_->person.answerNext(platform::Answer::Ok);
        const bool accepted = host::typeIntoDialog(ctrl, assignments);
        if (accepted) {
            ctrl.saveConfiguration();
        }
        state_->person.answerNext(std::nullopt);
        if (!accepted) {
            throw ConfigurationRefused(
                "the dialog refused the configuration in use; nothing was saved");
        }
    });
}

std::vector<std::string> Session::configurations() {
    return state_->run([](control::CKAPTORAXCtrl& ctrl) {
        std::vector<std::string> names;
        for (const std::string& name : host::configurationNames(ctrl)) {
            names.push_back(platform::cp1252ToUtf8(name));
        }
        return names;
    });
}

void Session::select(const std::string& name) {
    const std::string cp1252 = controlText(name);
    if (const char* why = host::whyNotSelectable(state_->hosted.files(), cp1252)) {
        throw ConfigurationRefused("'" + name + "' " + why + "; nothing was written");
    }
    state_->run([&](control::CKAPTORAXCtrl& ctrl) {
        ctrl.configDialog().settings.configName = cp1252;
        ctrl.configDialog().writeSelector();
    });
}

void Session::save() {
    state_->run([&](control::CKAPTORAXCtrl& ctrl) {
        loadForSaving(ctrl, state_->person);
        state_->person.answerNext(platform::Answer::Ok);  // overwrite: the program asked
        ctrl.saveConfiguration();
        state_->person.answerNext(std::nullopt);
    });
}

void Session::remove(const std::string& name) {
    const std::string cp1252 = controlText(name);
    const std::string path = std::string(control::LIST_FOLDER) + cp1252;
    if (!control::isPlainFileName(cp1252) || !state_->hosted.files().exists(path)) {
        throw ControlError("'" + name + "' is not in the configuration folder; nothing was deleted",
                           0);
    }
    state_->run([&](control::CKAPTORAXCtrl& ctrl) {
        ctrl.configDialog().settings.configName = cp1252;
        ctrl.configDialog().deleteConfiguration();
    });
    if (state_->hosted.files().exists(path)) {
        throw ControlError("'" + name + "' could not be removed", 0);
    }
}

void Session::close() {
    state_->closeBoard();
}

}  // namespace kaptor
