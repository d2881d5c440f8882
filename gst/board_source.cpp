#include "gst/board_source.h"

#include <cstdlib>
#include <utility>

namespace kaptor::gst {

BoardSource::BoardSource(std::function<void(const Message&)> warn) : warn_(std::move(warn)) {}

template <typename Result, typename Step>
std::variant<Result, Failure> BoardSource::run(Step step) {
    std::variant<Result, Failure> outcome = Failure{Failure::Kind::Control, "the board is closed"};
    try {
        if (session_) {
            outcome = step(*session_);
        }
    } catch (const Cancelled& e) {
        outcome = Failure{Failure::Kind::Cancelled, e.what()};
    } catch (const BoardError& e) {
        // The session is closed for good: the element opens a new one when it starts again.
        outcome = Failure{Failure::Kind::Board, e.what()};
        session_.reset();
    } catch (const ConfigurationRefused& e) {
        outcome = Failure{Failure::Kind::Settings, e.what()};
    } catch (const ControlError& e) {
        outcome = Failure{Failure::Kind::Control, e.what()};
    }
    const auto* failure = std::get_if<Failure>(&outcome);
    deliver(failure ? &failure->text : nullptr);
    return outcome;
}

void BoardSource::deliver(const std::string* ending) {
    auto messages = std::exchange(pending_, {});
    if (ending && !messages.empty() && messages.back().text == *ending) {
        messages.pop_back();  // the failure carries it
    }
    for (const Message& message : messages) {
        warn_(message);
    }
}

std::variant<FrameSize, Failure> BoardSource::open(const SourceSettings& settings) {
    close();
    if (!settings.device.empty()) {
        // The driver library picks the board by this variable (kaptor --device sets it too).
        ::setenv("KAPTOR_DEVICE", settings.device.c_str(), 1);
    }
    SessionOptions options;
    if (settings.simulated) {
        options.board = Board::Simulated;
    } else if (!settings.library.empty()) {
        options.board = Board::Named;
        options.library = settings.library;
    }
    if (!settings.driveC.empty()) {
        options.drives['C'] = settings.driveC;
    }
    options.onMessage = [this](const Message& message) { pending_.push_back(message); };
    // No onQuestion: every question gets the safe answer.
    try {
        session_.emplace(std::move(options));
    } catch (const ControlError& e) {
        return Failure{Failure::Kind::Control, e.what()};
    }
    location_ = settings.location;
    auto opened = run<FrameSize>([&](Session& session) {
        if (!settings.config.empty()) {
            session.select(settings.config);
        }
        session.initialize();
        return session.frameSize();
    });
    if (const auto* size = std::get_if<FrameSize>(&opened); size && size->width == 0) {
        opened = Failure{Failure::Kind::Geometry,
                         "the configuration in use gives no picture: its frame is empty or larger "
                         "than the control's image buffer (kaptor config show)"};
    }
    if (std::holds_alternative<Failure>(opened)) {
        close();
    }
    return opened;
}

std::variant<Picture, Failure> BoardSource::capture() {
    CaptureOptions options;
    options.cancelled = [this] { return flushing_.load(); };
    return run<Picture>([&](Session& session) {
        return location_.empty() ? session.capture(options)
                                 : session.capture(location_, std::nullopt, options);
    });
}

void BoardSource::close() {
    session_.reset();
    pending_.clear();
}

}  // namespace kaptor::gst
