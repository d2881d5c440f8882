#include "cli/output_pattern.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace kaptor::cli {

const char* const OUTPUT_PATTERN_FIELDS =
    "%Y %y %C %m %d %e %j %H %I %M %S %p %a %A %b %B %h %F "
    "%T %R %D %u %w %U %W %c %x %X %Z";

namespace {

// Conversions the C library of every system takes alike; each is asked of strftime on its own,
// so the result of one is bounded and a system's extensions are never reached.
constexpr std::string_view COMMON_CONVERSIONS = "aAbBcdHIjmMpSUwWxXyYZ";

// One conversion by itself; nothing when the letter is not one of ours.
std::optional<std::string> convert(char letter, const std::tm& when) {
    if (COMMON_CONVERSIONS.find(letter) != std::string_view::npos) {
        std::array<char, 256> buffer{};
        const char format[] = {'%', letter, '\0'};
        // 0 is an empty field (%p, %Z in some locales) or one longer than any name: both empty.
        const std::size_t length = std::strftime(buffer.data(), buffer.size(), format, &when);
        return std::string(buffer.data(), length);
    }
    const auto two = [](int value) {
        char text[16];
        std::snprintf(text, sizeof text, "%02d", value);
        return std::string(text);
    };
    const auto joined = [&when](std::initializer_list<char> letters, char separator) {
        std::string out;
        for (const char part : letters) {
            if (!out.empty()) {
                out += separator;
            }
            out += *convert(part, when);
        }
        return out;
    };
    switch (letter) {
        case 'C':
            return two((when.tm_year + 1900) / 100);
        case 'e': {
            char text[16];
            std::snprintf(text, sizeof text, "%2d", when.tm_mday);
            return std::string(text);
        }
        case 'h':
            return convert('b', when);
        case 'F':
            return joined({'Y', 'm', 'd'}, '-');
        case 'T':
            return joined({'H', 'M', 'S'}, ':');
        case 'R':
            return joined({'H', 'M'}, ':');
        case 'D':
            return joined({'m', 'd', 'y'}, '/');
        case 'u':
            return std::to_string(when.tm_wday == 0 ? 7 : when.tm_wday);
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<std::string> expandOutputPattern(const std::string& pattern, const std::tm& when,
                                               int number, std::string& error) {
    std::string path;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 == pattern.size()) {
            path += c;
        } else {
            const char letter = pattern[++i];
            // %n is ours (strftime's own %n is a newline, of no use in a file name).
            const auto field = letter == 'n'   ? std::optional(std::to_string(number))
                               : letter == '%' ? std::optional(std::string("%"))
                                               : convert(letter, when);
            if (!field) {
                const unsigned char shown = static_cast<unsigned char>(letter);
                error = std::string("-o: '%") +
                        (shown >= 0x20 && shown < 0x7F ? std::string(1, letter) : "?") +
                        "' is not a field kaptor fills in (use %% for a '%'; the fields are " +
                        OUTPUT_PATTERN_FIELDS + " and %n)";
                return std::nullopt;
            }
            path += *field;
        }
        if (path.size() > MAX_OUTPUT_PATH) {
            error =
                "-o: the path would be longer than " + std::to_string(MAX_OUTPUT_PATH) + " bytes";
            return std::nullopt;
        }
    }
    return path;
}

}  // namespace kaptor::cli
