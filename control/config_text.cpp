#include "control/config_text.h"

#include "platform/text.h"

namespace kaptor::control {
namespace {

using platform::atoi32;

// A cursor over the remaining text, with the reader's line rules.
class LineCursor {
  public:
    explicit LineCursor(std::string_view text) : text_(text) {}

    // Head(first CR): the text before the first CR, empty when there is none.
    std::string_view head() const {
        const auto cr = text_.find('\r');
        return cr == std::string_view::npos ? std::string_view{} : text_.substr(0, cr);
    }
    std::string_view rest() const { return text_; }

    // Drops everything up to and including the first CR and the one character after it (the LF,
    // not tested). Without a CR only the first character goes.
    void advance() {
        const auto cr = text_.find('\r');
        const std::size_t drop = cr == std::string_view::npos ? 1 : cr + 2;
        text_ = drop >= text_.size() ? std::string_view{} : text_.substr(drop);
    }

  private:
    std::string_view text_;
};

}  // namespace

std::string_view textUpToZero(std::string_view bytes) {
    const auto zero = bytes.find('\0');
    return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

std::string parseSelector(std::string_view bytes) {
    return std::string(LineCursor(textUpToZero(bytes)).head());
}

void parseConfiguration(std::string_view bytes, BoardSettings& s, std::string& textLine1,
                        std::string& textLine2) {
    LineCursor t(textUpToZero(bytes));
    textLine1 = t.head();
    t.advance();
    textLine2 = t.head();
    t.advance();

    for (std::int32_t* field : {&s.pixelsPerLine, &s.horizontalPosition, &s.activeLines,
                                &s.verticalPosition, &s.pllPixelTotal, &s.pixelInterleave}) {
        *field = atoi32(t.head());
        t.advance();
    }

    s.interlaced = atoi32(t.rest());
    t.advance();
    s.gain = static_cast<std::uint32_t>(atoi32(t.rest()));
    t.advance();
    s.offset = static_cast<std::uint32_t>(atoi32(t.rest()));
    t.advance();
    for (std::int32_t* field : {&s.inputConfig, &s.sensitivity, &s.dicom, &s.fieldInversion}) {
        *field = atoi32(t.rest());
        t.advance();
    }
    s.singleField = atoi32(t.rest());
}

std::string formatConfiguration(const BoardSettings& s, std::string_view textLine1,
                                std::string_view textLine2) {
    std::string out;
    const auto line = [&out](std::string_view text) {
        out += text;
        out += "\r\n";
    };
    const auto number = [&line](std::int32_t value) { line(platform::itoa32(value)); };
    const auto flag = [&line](std::int32_t value) { line(value == 1 ? "1" : "0"); };
    line(textLine1);
    line(textLine2);
    number(s.pixelsPerLine);
    number(s.horizontalPosition);
    number(s.activeLines);
    number(s.verticalPosition);
    number(s.pllPixelTotal);
    number(s.pixelInterleave);
    number(s.interlaced);
    number(static_cast<std::int32_t>(s.gain));
    number(static_cast<std::int32_t>(s.offset));
    number(s.inputConfig);
    number(s.sensitivity);
    flag(s.dicom);
    flag(s.fieldInversion);
    flag(s.singleField);
    return out;
}

std::string formatSelector(std::string_view configName) {
    return std::string(configName) + "\r\n";
}

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("\\/:") == std::string_view::npos;
}

}  // namespace kaptor::control
