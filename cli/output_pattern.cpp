#include "cli/output_pattern.h"

#include <vector>

namespace kaptor::cli {

std::string expandOutputPattern(const std::string& pattern, const std::tm& when, int number) {
    if (pattern.find('%') == std::string::npos) {
        return pattern;
    }
    // %n is ours (strftime's own %n is a newline, of no use in a file name); "%%" stays for
    // strftime. A trailing "%" stands for itself.
    // A leading mark tells an empty result from a buffer too small.
    std::string format = "x";
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        const char following = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (c != '%') {
            format.push_back(c);
        } else if (following == '\0') {
            format.append("%%");
        } else if (following == 'n') {
            format.append(std::to_string(number));
            ++i;
        } else {
            format.push_back(c);
            format.push_back(following);
            ++i;
        }
    }
    std::vector<char> buffer(format.size() * 4 + 256);
    for (;;) {
        const std::size_t length =
            std::strftime(buffer.data(), buffer.size(), format.c_str(), &when);
        if (length > 0) {
            return std::string(buffer.data() + 1, length - 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace kaptor::cli
