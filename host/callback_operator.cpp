#include "host/callback_operator.h"

#include <cctype>
#include <utility>

#include "platform/text.h"

namespace kaptor::host {
namespace {

// The digits at from, up to a closing parenthesis; -1 when there are none or no parenthesis.
int numberBefore(std::string_view text, std::size_t from) {
    int value = 0;
    std::size_t at = from;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        if (value > 99999) {
            return -1;
        }
        value = value * 10 + (text[at] - '0');
    }
    return at > from && at < text.size() && text[at] == ')' ? value : -1;
}

}  // namespace

int messageCode(std::string_view text) {
    if (const auto marked = text.find("(E: "); marked != std::string_view::npos) {
        if (const int code = numberBefore(text, marked + 4); code >= 0) {
            return code;
        }
    }
    for (auto open = text.rfind('('); open != std::string_view::npos;
         open = open == 0 ? std::string_view::npos : text.rfind('(', open - 1)) {
        if (const int code = numberBefore(text, open + 1); code >= 0) {
            return code;
        }
    }
    return 0;
}

platform::Answer CallbackOperator::messageBox(std::string_view text, platform::Buttons buttons,
                                              platform::Icon) {
    Message message{platform::cp1252ToUtf8(text), messageCode(text)};
    if (buttons != platform::Buttons::Ok) {
        if (next_) {
            return *std::exchange(next_, std::nullopt);
        }
        const bool yes = onQuestion_ && onQuestion_(message);
        if (!yes) {
            return platform::safeAnswer(buttons);
        }
        return buttons == platform::Buttons::YesNo ? platform::Answer::Yes : platform::Answer::Ok;
    }
    last_ = message;
    ++shown_;
    if (onMessage_) {
        onMessage_(last_);
    }
    return platform::Answer::Ok;
}

}  // namespace kaptor::host
