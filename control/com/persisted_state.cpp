#include "control/com/persisted_state.h"

namespace kaptor::com {
namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

std::uint32_t get32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= std::uint32_t{bytes[offset + i]} << (8 * i);
    }
    return value;
}

}  // namespace

std::vector<std::uint8_t> encodeState(const PersistedState& state) {
    std::vector<std::uint8_t> out;
    put32(out, state.version);
    put32(out, static_cast<std::uint32_t>(state.extentX));
    put32(out, static_cast<std::uint32_t>(state.extentY));
    put32(out, state.stockProps);
    return out;
}

bool isLoadableVersion(std::uint32_t version) {
    return version <= PERSISTED_VERSION;
}

LoadProblem decodeState(std::span<const std::uint8_t> bytes, PersistedState& state) {
    if (bytes.size() >= 4 && !isLoadableVersion(get32(bytes, 0))) {
        return LoadProblem::NewerVersion;
    }
    if (bytes.size() < PERSISTED_SIZE) {
        return LoadProblem::Truncated;
    }
    state.version = get32(bytes, 0);
    state.extentX = static_cast<std::int32_t>(get32(bytes, 4));
    state.extentY = static_cast<std::int32_t>(get32(bytes, 8));
    state.stockProps = get32(bytes, 12);
    return LoadProblem::None;
}

}  // namespace kaptor::com
