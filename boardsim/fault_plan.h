// Faults the simulated board can be told to show, from a list such as
// "write-zero-at=3,silent".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kaptor::boardsim {

struct FaultPlan {
    bool noDevice = false;                      // every open is refused
    std::uint64_t writeZeroAt = 0;              // the N-th write (from 1) reports 0 bytes; 0: none
    bool queueStatusFails = false;              // FT_GetQueueStatus answers FT_IO_ERROR
    bool silent = false;                        // no announce byte after a purge
    std::optional<std::uint64_t> shortFrame;    // the board stops after N bytes of a frame
    std::optional<std::uint32_t> readStatus;    // FT_Read answers this status (bytes still come)
    std::optional<std::uint64_t> disconnectAt;  // after N frame bytes the device is gone
};

// Parses a comma-separated list; on an unknown or malformed entry, error names it.
std::optional<FaultPlan> parseFaultPlan(std::string_view list, std::string& error);

}  // namespace kaptor::boardsim
