// What the control keeps in a host's document: the version stamp, the extent (HIMETRIC) and the
// stock-property mask, in that order as 32-bit little-endian numbers; in a property bag as the
// values "_Version", "_ExtentX", "_ExtentY" and "_StockProps". The two text properties are not
// kept: after a load they hold their construction defaults.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kaptor::com {

// Version 1.0: major in the high 16 bits, minor in the low 16 bits.
inline constexpr std::uint32_t PERSISTED_VERSION = 0x10000;
inline constexpr std::size_t PERSISTED_SIZE = 16;

struct PersistedState {
    std::uint32_t version = PERSISTED_VERSION;
    std::int32_t extentX = 0;
    std::int32_t extentY = 0;
    std::uint32_t stockProps = 0;  // the control has no stock properties
};

// Why a saved state is refused.
enum class LoadProblem { None, Truncated, NewerVersion };

std::vector<std::uint8_t> encodeState(const PersistedState& state);
// The state in bytes, or the problem that refuses it.
LoadProblem decodeState(std::span<const std::uint8_t> bytes, PersistedState& state);
// A state of this version or an older one (which loads as this one).
bool isLoadableVersion(std::uint32_t version);

}  // namespace kaptor::com
