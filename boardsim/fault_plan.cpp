#include "boardsim/fault_plan.h"

#include <charconv>

namespace kaptor::boardsim {
namespace {

template <typename Number>
bool parseNumber(std::string_view text, Number& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size() && !text.empty();
}

}  // namespace

std::optional<FaultPlan> parseFaultPlan(std::string_view list, std::string& error) {
    FaultPlan plan;
    while (!list.empty()) {
        const auto comma = list.find(',');
        const std::string_view entry = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        if (entry.empty()) {
            continue;
        }
        const auto equals = entry.find('=');
        const std::string_view name = entry.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view{} : entry.substr(equals + 1);
        const bool hasValue = equals != std::string_view::npos;
        std::uint64_t number = 0;
        if (name == "no-device" && !hasValue) {
            plan.noDevice = true;
        } else if (name == "queue-status-fails" && !hasValue) {
            plan.queueStatusFails = true;
        } else if (name == "silent" && !hasValue) {
            plan.silent = true;
        } else if (name == "write-zero-at" && parseNumber(value, number) && number > 0) {
            plan.writeZeroAt = number;
        } else if (name == "short-frame" && parseNumber(value, number)) {
            plan.shortFrame = number;
        } else if (name == "disconnect-at" && parseNumber(value, number)) {
            plan.disconnectAt = number;
        } else if (std::uint32_t status = 0; name == "read-status" && parseNumber(value, status)) {
            plan.readStatus = status;
        } else {
            error = "unknown or malformed fault '" + std::string(entry) + "'";
            return std::nullopt;
        }
    }
    return plan;
}

}  // namespace kaptor::boardsim
