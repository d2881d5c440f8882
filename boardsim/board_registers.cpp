#include "boardsim/board_registers.h"

#include "control/board_commands.h"

namespace kaptor::boardsim {

using namespace kaptor::control;

CommandParser::CommandParser(std::function<void(const std::vector<std::uint8_t>&)> onFrame,
                             std::function<void(std::uint8_t)> onUnknown)
    : onFrame_(std::move(onFrame)), onUnknown_(std::move(onUnknown)) {}

void CommandParser::feed(const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (pending_.empty() && commandLength(bytes[i]) == 0) {
            onUnknown_(bytes[i]);
            continue;
        }
        pending_.push_back(bytes[i]);
        if (pending_.size() == commandLength(pending_.front())) {
            onFrame_(pending_);
            pending_.clear();
        }
    }
}

void applyFrame(BoardRegisters& r, const std::vector<std::uint8_t>& f) {
    switch (f[0]) {
        case CMD_ACTIVE_PIXELS:
            r.activePixels = ((f[1] & 3u) << 8) | f[2];
            break;
        case CMD_HORIZONTAL_POSITION:
            r.horizontalPosition = f[1];
            break;
        case CMD_ACTIVE_LINES:
            r.activeLines = ((f[1] & 3u) << 8) | f[2];
            break;
        case CMD_VERTICAL_POSITION:
            r.verticalPosition = f[1];
            break;
        case CMD_PLL_TOTAL:
            r.pllTotal = ((f[1] & 7u) << 8) | f[2];
            break;
        case CMD_CONTROL:
            r.control = f[1];
            break;
        case CMD_FRONTEND_REGISTER:
            if (f[2] < r.frontEnd.size()) {
                r.frontEnd[f[2]] = f[1];
            }
            break;
        default:
            break;
    }
}

std::string describeRegisters(const BoardRegisters& r) {
    return "pixels=" + std::to_string(r.activePixels) +
           " hpos=" + std::to_string(r.horizontalPosition) +
           " lines=" + std::to_string(r.activeLines) +
           " vpos=" + std::to_string(r.verticalPosition) + " pll=" + std::to_string(r.pllTotal) +
           " control=" + std::to_string(r.control) + " gain=" + std::to_string(r.gain()) +
           " offset=" + std::to_string(r.offset()) + " input=" + std::to_string(r.inputConfig());
}

}  // namespace kaptor::boardsim
