#include "cli/text_output.h"

#include <cstdio>

#include "platform/text.h"

namespace kaptor::cli {

std::string lineValue(std::string_view cp1252) {
    std::string out;
    for (const char c : platform::cp1252ToUtf8(cp1252)) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string jsonString(std::string_view cp1252) {
    std::string out = "\"";
    for (const char c : platform::cp1252ToUtf8(cp1252)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string shownPath(const std::optional<std::filesystem::path>& host, std::string_view path) {
    return host ? host->string() : platform::cp1252ToUtf8(path);
}

}  // namespace kaptor::cli
