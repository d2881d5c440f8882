// The selector and configuration file formats: text in, values out, and back. Pure functions,
// so every quirk of the reader can be tested and fuzzed without files.
#pragma once

#include <string>
#include <string_view>

#include "control/board_settings.h"

namespace kaptor::control {

constexpr std::size_t SELECTOR_READ_LIMIT = 100;
constexpr std::size_t CONFIG_READ_LIMIT = 550;

// The bytes read, ending early at a zero byte.
std::string_view textUpToZero(std::string_view bytes);

// The configuration name a selector holds: the text before the first CR (empty when none).
std::string parseSelector(std::string_view bytes);

// Reads the sixteen lines into settings (configName untouched) and the two free-text lines.
// Lines 3-8 are cut at their CR; lines 9-16 are converted from the remaining text, so white
// space, an empty line included, is skipped before the number.
void parseConfiguration(std::string_view bytes, BoardSettings& settings, std::string& textLine1,
                        std::string& textLine2);

// The sixteen lines, each ending in CR LF.
std::string formatConfiguration(const BoardSettings& settings, std::string_view textLine1,
                                std::string_view textLine2);

std::string formatSelector(std::string_view configName);

// A plain file name: not empty, no "\", "/" or ":", not "." or "..".
bool isPlainFileName(std::string_view name);

}  // namespace kaptor::control
