// The board behind kaptorsrc, apart from GStreamer: one libkaptor session opened with the
// element's properties, initialised once, then one capture per buffer. The control's messages
// reach the element after each step, in order; a failure comes back as what the element tells
// the pipeline.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "kaptor/kaptor.h"

namespace kaptor::gst {

// The element's properties, as start() reads them.
struct SourceSettings {
    bool simulated = false;
    std::string device;    // a board's serial number; empty: the first free one
    std::string driveC;    // the folder that stands for drive C:; empty: as kaptor's
    std::string config;    // the configuration to select before starting; empty: the one in use
    std::string library;   // a D2XX library file; empty: the default driver
    std::string location;  // where each picture file also goes; empty: nowhere
};

// Why a step ended without its result.
struct Failure {
    enum class Kind {
        Board,     // the control ended its work (no board, the board took no byte)
        Settings,  // a property the session refused (the configuration name)
        Control,   // the session or a method failed (a picture file that cannot be written)
        Geometry,  // the configuration gives no picture
        Cancelled  // the capture was stopped by setFlushing(true)
    };
    Kind kind;
    std::string text;
};

class BoardSource {
  public:
    // warn receives every message the control showed and carried on after, in order.
    explicit BoardSource(std::function<void(const Message&)> warn);

    // Opens the board and runs initialize(); the size of the pictures to come.
    std::variant<FrameSize, Failure> open(const SourceSettings& settings);
    // One capture, its picture rows top first, also written to the location when one is set.
    std::variant<Picture, Failure> capture();
    // Closes the board; open() may follow.
    void close();

    // While true, a capture stops at its next read (or within the board's settling wait) and
    // returns Failure::Cancelled; safe from any thread.
    void setFlushing(bool flushing) { flushing_ = flushing; }

  private:
    // Runs step on the session, turning what it throws into a Failure and passing on the
    // messages it showed (the last one, when the failure carries it, only once).
    template <typename Result, typename Step>
    std::variant<Result, Failure> run(Step step);
    void deliver(const std::string* ending = nullptr);

    std::function<void(const Message&)> warn_;
    std::vector<Message> pending_;
    std::optional<Session> session_;
    std::string location_;
    std::atomic<bool> flushing_ = false;
};

}  // namespace kaptor::gst
