// Texts of the control (Windows-1252) as kaptor prints them: one value per line for people and
// line-based tools, JSON strings for machines. Neither loses a byte.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kaptor::cli {

// UTF-8 with backslash, CR and LF written as \\, \r and \n, so a value is always one line.
std::string lineValue(std::string_view cp1252);

// A JSON string literal (quotes included) of the text in UTF-8.
std::string jsonString(std::string_view cp1252);

// Where a file lies on this machine, for a person: the host path when there is one, else the
// path as the control knows it (Windows-1252).
std::string shownPath(const std::optional<std::filesystem::path>& host, std::string_view path);

}  // namespace kaptor::cli
