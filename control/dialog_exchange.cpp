#include "control/dialog_exchange.h"

#include <charconv>
#include <limits>

#include "control/config_text.h"
#include "control/messages.h"

namespace kaptor::control {
namespace {

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string outOfRange(std::int64_t low, std::int64_t high) {
    return std::string(msg::VALIDATE_RANGE_PREFIX) + std::to_string(low) +
           std::string(msg::VALIDATE_RANGE_AND) + std::to_string(high) + ".";
}

Converted convertNumber(const ExchangeEntry& entry, std::string_view text) {
    const bool isSigned = entry.conversion == Conversion::Signed;
    text = trimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return {0, std::string(msg::VALIDATE_NOT_A_NUMBER)};
    }
    if (negative && !isSigned) {
        return {0, std::string(msg::VALIDATE_NOT_NEGATIVE)};
    }
    const std::int64_t typeLow = isSigned ? std::numeric_limits<std::int32_t>::min() : 0;
    const std::int64_t typeHigh = isSigned ? std::numeric_limits<std::int32_t>::max()
                                           : std::numeric_limits<std::uint32_t>::max();
    const std::int64_t low = entry.ranged ? entry.low : typeLow;
    const std::int64_t high = entry.ranged ? entry.high : typeHigh;
    // Only leading zeros may make a number longer than 10 digits; anything beyond is too big.
    const std::string_view significant =
        digits.substr(std::min(digits.find_first_not_of('0'), digits.size() - 1));
    std::int64_t magnitude = 0;
    if (significant.size() > 10 ||
        std::from_chars(significant.data(), significant.data() + significant.size(), magnitude)
                .ec != std::errc{}) {
        return {0, outOfRange(low, high)};
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < low || value > high) {
        return {0, outOfRange(low, high)};
    }
    return {value, {}};
}

bool isAcceptableName(std::string_view name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return false;
        }
    }
    return isPlainFileName(name);
}

}  // namespace

const ExchangeEntry* findExchangeEntry(std::string_view name) {
    for (const ExchangeEntry& entry : EXCHANGE_TABLE) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

Converted convertText(const ExchangeEntry& entry, std::string_view text, bool leaving) {
    switch (entry.conversion) {
        case Conversion::Signed:
        case Conversion::Unsigned:
            return convertNumber(entry, text);
        case Conversion::ComboText:
            if (text.size() > CONFIG_NAME_MAX_LENGTH) {
                return {0, std::string(msg::VALIDATE_TOO_LONG_PREFIX) +
                               std::to_string(CONFIG_NAME_MAX_LENGTH) +
                               std::string(msg::VALIDATE_TOO_LONG_SUFFIX)};
            }
            if ((!text.empty() || leaving) && !isAcceptableName(text)) {
                return {0, std::string(msg::VALIDATE_NOT_A_FILE_NAME)};
            }
            return {};
        case Conversion::CheckState:
        default:
            return {};
    }
}

bool saveFields(DialogView& view, BoardSettings& settings, platform::Operator& person,
                bool leaving) {
    for (const ExchangeEntry& entry : EXCHANGE_TABLE) {
        if (entry.conversion == Conversion::CheckState) {
            settings.*entry.signedMember = view.checked(entry.controlId) ? 1 : 0;
            continue;
        }
        const std::string text = entry.conversion == Conversion::ComboText
                                     ? view.comboText()
                                     : view.text(entry.controlId);
        const Converted converted = convertText(entry, text, leaving);
        if (!converted.refusal.empty()) {
            person.messageBox(converted.refusal);
            view.focus(entry.controlId);
            return false;
        }
        switch (entry.conversion) {
            case Conversion::Signed:
                settings.*entry.signedMember = static_cast<std::int32_t>(converted.number);
                break;
            case Conversion::Unsigned:
                settings.*entry.unsignedMember = static_cast<std::uint32_t>(converted.number);
                break;
            default:
                settings.configName = text;
                break;
        }
    }
    return true;
}

void showFields(DialogView& view, const BoardSettings& settings) {
    for (const ExchangeEntry& entry : EXCHANGE_TABLE) {
        switch (entry.conversion) {
            case Conversion::Signed:
                view.setText(entry.controlId, std::to_string(settings.*entry.signedMember));
                break;
            case Conversion::Unsigned:
                view.setText(entry.controlId, std::to_string(settings.*entry.unsignedMember));
                break;
            case Conversion::CheckState:
                view.setChecked(entry.controlId, settings.*entry.signedMember != 0);
                break;
            case Conversion::ComboText:
                if (view.selectFirstBeginningWith(settings.configName) == NO_SELECTION) {
                    view.setComboText(settings.configName);
                }
                break;
        }
    }
}

}  // namespace kaptor::control
