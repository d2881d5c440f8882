// The picture path of one capture: time fields of the capture's time, and %n for the capture's
// number (from 1), so repeated captures can each get a file of their own.
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace kaptor::cli {

// The conversions a pattern may hold, besides %n and %%; the same on every system, whatever its
// own strftime takes.
extern const char* const OUTPUT_PATTERN_FIELDS;

// Paths longer than this are refused.
constexpr std::size_t MAX_OUTPUT_PATH = 4096;

// The path for capture number at time when. A "%" at the very end stands for itself. Nothing,
// with error set to one line that says why, when the pattern holds a conversion not listed above
// (a modifier such as %Ey or a field width included) or the path grows past MAX_OUTPUT_PATH.
std::optional<std::string> expandOutputPattern(const std::string& pattern, const std::tm& when,
                                               int number, std::string& error);

}  // namespace kaptor::cli
