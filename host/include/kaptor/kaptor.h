// libkaptor: the KAPTORAX capture control for programs that embed it. A Session holds one
// control on a drive and a board; it reads and changes the configuration through the dialog's
// own checks, initialises the board and captures pictures into memory or into files. The
// control's messages reach the callbacks the program gives; where the control would end the
// process, the call throws BoardError instead.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#if defined(_WIN32)
#define KAPTOR_API
#else
#define KAPTOR_API __attribute__((visibility("default")))
#endif

namespace kaptor {

// A message box of the control: its text (UTF-8) and the number it carries ("(E: 402)",
// "(899)"), 0 when it carries none.
struct Message {
    std::string text;
    int code = 0;
};

// A method failed and left the failure to its caller (a picture file that could not be
// written), or a message that the control showed and carried on after, when the caller wants
// such messages as errors.
class KAPTOR_API ControlError : public std::runtime_error {
  public:
    ControlError(const std::string& message, int code);
    int code() const noexcept { return code_; }

  private:
    int code_;
};

// The control ended its work after a message, where a program of its own would have ended
// (no board answered, the board took no byte, the picture file could not be created). The
// message is the control's last one; the files and the board stay as the control left them, and
// the session is closed: every later call throws this again.
class KAPTOR_API BoardError : public ControlError {
  public:
    BoardError(const std::string& message, int code, int status);
    int status() const noexcept { return status_; }

  private:
    int status_;
};

// configure() refused a value: the message is the dialog's own (or says which name is wrong);
// nothing was written.
class KAPTOR_API ConfigurationRefused : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

// The caller's cancellation check said stop: the capture left after its current read. The
// session stays usable.
class KAPTOR_API Cancelled : public std::runtime_error {
  public:
    Cancelled();
};

enum class Board {
    Default,    // KAPTOR_D2XX_LIBRARY, else libkaptor-d2xx.so installed with libkaptor
    Simulated,  // the simulated board installed with libkaptor
    Named,      // SessionOptions::library
};

struct SessionOptions {
    Board board = Board::Default;
    std::filesystem::path library;  // the driver library, for Board::Named
    // Drive letters (upper case) and their folders; empty: the KAPTOR_DRIVE_* variables, drive
    // C: by default ${XDG_DATA_HOME:-~/.local/share}/kaptor/drive_c.
    std::map<char, std::filesystem::path> drives;
    // Messages the control shows and carries on after; none when empty.
    std::function<void(const Message&)> onMessage;
    // Questions (OK/Cancel, Yes/No): true answers OK or Yes. Without it, the safe answer
    // (Cancel, No) is given.
    std::function<bool(const Message&)> onQuestion;
};

// A captured frame: rows top first, width bytes each, gray levels 0..255.
struct Picture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> pixels;
    std::string bmp;  // the control's BMP file, byte for byte, when asked for
};

// The size of the pictures a capture gives: width pixels, height rows.
struct FrameSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

enum class PictureFormat { Bmp, Png, Pgm };

struct CaptureOptions {
    bool withBmp = false;
    // Asked between the reads of a capture; true stops it (Cancelled).
    std::function<bool()> cancelled;
};

class KAPTOR_API Session {
  public:
    explicit Session(SessionOptions options = {});
    ~Session();
    Session(Session&&) noexcept;
    Session& operator=(Session&&) noexcept;

    // Reads the configuration in use, opens the board and programs it (Inicializa).
    void initialize();
    // The size of the pictures the configuration the control read last (by initialize() or a
    // capture) gives; 0 x 0 before initialize() and when the frame does not fit the control's
    // image buffer (a capture then shows the control's message and gives an empty picture).
    // Every capture reads the configuration in use again, so a change to it changes the size.
    FrameSize frameSize();
    // One frame into memory (Toma).
    Picture capture(const CaptureOptions& options = {});
    // One frame into path, in the format its extension names (bmp, png, pgm; else bmp) or the
    // one given; the file is written whole or not at all. Returns the frame too.
    Picture capture(const std::filesystem::path& path,
                    std::optional<PictureFormat> format = std::nullopt,
                    const CaptureOptions& options = {});

    // The configuration in use: text values (configName, textLine1, textLine2) and numbers.
    std::vector<std::pair<std::string, std::string>> textSettings();
    std::vector<std::pair<std::string, long long>> numberSettings();
    // Changes the configuration in use through the dialog's fields and saves it; a value the
    // dialog refuses throws ConfigurationRefused and nothing is written. Names as
    // numberSettings() and textSettings() give them; flags take 0 or 1; dicom cannot change.
    void configure(const std::vector<std::pair<std::string, std::string>>& values);

    // The configurations in the configuration folder, and making one of them the one in use
    // (ConfigurationRefused for a name that is not a plain file name there).
    std::vector<std::string> configurations();
    void select(const std::string& name);
    // Reads the configuration in use and writes it again, in the control's own layout.
    void save();
    // Deletes the configuration name from the configuration folder (the program asked: no
    // question); ControlError when nothing was deleted.
    void remove(const std::string& name);

    // Closes the board; later calls throw ControlError.
    void close();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// libkaptor's version, "MAJOR.MINOR.PATCH".
KAPTOR_API const char* version();

}  // namespace kaptor
