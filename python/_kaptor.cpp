// The Python extension kaptor._kaptor: libkaptor's Session for the kaptor package, which adds
// the Pythonic surface (keywords, warnings, the iterator, Ctrl-C). Calls release the GIL while
// the control works; pictures come back as numpy arrays that own their rows.
#include <poll.h>
#include <pybind11/functional.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "kaptor/kaptor.h"

namespace py = pybind11;

namespace {

// True when a SIGINT byte arrived on fd, the wakeup descriptor Python's signal handler writes
// to; other signals' bytes are read and left alone. Never blocks.
bool interruptArrived(int fd) {
    pollfd watched{fd, POLLIN, 0};
    if (fd < 0 || ::poll(&watched, 1, 0) <= 0) {
        return false;
    }
    unsigned char bytes[64];
    const ssize_t count = ::read(fd, bytes, sizeof bytes);
    for (ssize_t i = 0; i < count; ++i) {
        if (bytes[i] == SIGINT) {
            return true;
        }
    }
    return false;
}

py::array_t<std::uint8_t> toArray(kaptor::Picture&& picture) {
    auto rows = std::make_unique<std::vector<std::uint8_t>>(std::move(picture.pixels));
    const auto height = static_cast<py::ssize_t>(picture.height);
    const auto width = static_cast<py::ssize_t>(picture.width);
    std::uint8_t* data = rows->data();
    py::capsule owner(rows.get(),
                      [](void* p) { delete static_cast<std::vector<std::uint8_t>*>(p); });
    rows.release();
    return py::array_t<std::uint8_t>({height, width}, {width, py::ssize_t{1}}, data, owner);
}

// One session, used by one call at a time; the messages it showed wait for the package to
// pass them on as warnings or to the program's callback.
class PySession {
  public:
    PySession(kaptor::Board board, std::string library, std::optional<std::string> driveC,
              py::object onQuestion) {
        kaptor::SessionOptions options;
        options.board = board;
        options.library = library;
        if (driveC) {
            options.drives['C'] = *driveC;
        }
        options.onMessage = [this](const kaptor::Message& m) { pending_.push_back(m); };
        if (!onQuestion.is_none()) {
            question_ = std::move(onQuestion);
            options.onQuestion = [this](const kaptor::Message& m) {
                py::gil_scoped_acquire gil;
                try {
                    return question_(m.text, m.code).cast<bool>();
                } catch (py::error_already_set& error) {
                    // The safe answer; the callback's error is reported as Python does for
                    // errors it cannot raise.
                    error.discard_as_unraisable("kaptor: the question callback");
                    return false;
                }
            };
        }
        session_.emplace(std::move(options));
    }

    ~PySession() {
        // The question callback is a Python object: released with the GIL held.
        py::gil_scoped_release released;
        std::lock_guard lock(mutex_);
        session_.reset();
    }

    template <typename Call>
    auto locked(Call call) {
        py::gil_scoped_release released;
        std::lock_guard lock(mutex_);
        return call(*session_);
    }

    py::array_t<std::uint8_t> capture(std::optional<std::filesystem::path> path, int interruptFd) {
        kaptor::CaptureOptions options;
        options.cancelled = [interruptFd] { return interruptArrived(interruptFd); };
        kaptor::Picture picture = locked([&](kaptor::Session& s) {
            return path ? s.capture(*path, std::nullopt, options) : s.capture(options);
        });
        return toArray(std::move(picture));
    }

    std::vector<std::pair<std::string, int>> takeMessages() {
        std::lock_guard lock(mutex_);
        std::vector<std::pair<std::string, int>> out;
        for (const auto& m : std::exchange(pending_, {})) {
            out.emplace_back(m.text, m.code);
        }
        return out;
    }

  private:
    std::mutex mutex_;
    std::vector<kaptor::Message> pending_;
    py::object question_;
    std::optional<kaptor::Session> session_;
};

void raise(const char* type, py::tuple arguments) {
    const py::object errors = py::module_::import("kaptor._errors");
    const py::object kind = errors.attr(type);
    PyErr_SetObject(kind.ptr(), kind(*arguments).ptr());
}

}  // namespace

PYBIND11_MODULE(_kaptor, m) {
    m.doc() = "libkaptor's sessions; use the kaptor package.";

    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown) {
                std::rethrow_exception(thrown);
            }
        } catch (const kaptor::BoardError& e) {
            raise("BoardError", py::make_tuple(e.what(), e.code(), e.status()));
        } catch (const kaptor::ControlError& e) {
            raise("ControlError", py::make_tuple(e.what(), e.code()));
        } catch (const kaptor::Cancelled&) {
            raise("Interrupted", py::make_tuple());
        }
    });

    py::enum_<kaptor::Board>(m, "Board")
        .value("DEFAULT", kaptor::Board::Default)
        .value("SIMULATED", kaptor::Board::Simulated)
        .value("NAMED", kaptor::Board::Named);

    py::class_<PySession>(m, "Session")
        .def(py::init<kaptor::Board, std::string, std::optional<std::string>, py::object>(),
             py::arg("board"), py::arg("library"), py::arg("drive_c"), py::arg("on_question"))
        .def("initialize",
             [](PySession& s) { s.locked([](kaptor::Session& k) { k.initialize(); }); })
        .def("capture", &PySession::capture, py::arg("path"), py::arg("interrupt_fd"))
        .def("text_settings",
             [](PySession& s) {
                 return s.locked([](kaptor::Session& k) { return k.textSettings(); });
             })
        .def("number_settings",
             [](PySession& s) {
                 return s.locked([](kaptor::Session& k) { return k.numberSettings(); });
             })
        .def("configure",
             [](PySession& s, const std::vector<std::pair<std::string, std::string>>& values) {
                 s.locked([&](kaptor::Session& k) { k.configure(values); });
             })
        .def("configurations",
             [](PySession& s) {
                 return s.locked([](kaptor::Session& k) { return k.configurations(); });
             })
        .def("select",
             [](PySession& s, const std::string& name) {
                 s.locked([&](kaptor::Session& k) { k.select(name); });
             })
        .def("save", [](PySession& s) { s.locked([](kaptor::Session& k) { k.save(); }); })
        .def("remove",
             [](PySession& s, const std::string& name) {
                 s.locked([&](kaptor::Session& k) { k.remove(name); });
             })
        .def("close", [](PySession& s) { s.locked([](kaptor::Session& k) { k.close(); }); })
        .def("take_messages", &PySession::takeMessages);

    m.def("check_signals", [] {
        if (PyErr_CheckSignals() != 0) {
            throw py::error_already_set();
        }
    });
    m.attr("VERSION") = kaptor::version();
}
