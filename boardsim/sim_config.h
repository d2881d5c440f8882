// How the simulated board is set up: link rate, driver buffer, picture, faults, trace.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "boardsim/fault_plan.h"
#include "boardsim/picture_source.h"

namespace kaptor::boardsim {

struct SimConfig {
    std::string description = "LUMENFRAME USB 1.0";
    double bytesPerSecond = 1000000.0;      // a full-speed FIFO
    std::size_t driverBuffer = 65536;       // bytes the driver holds before the board stalls
    std::int64_t frameStartMicros = 20000;  // the board waits for the next field to begin
    std::uint32_t defaultTimeoutMs = 1000;  // before any FT_SetTimeouts: still bounded
    std::string tracePath;                  // empty: no trace
    std::string scenePath;                  // empty: the built-in test chart
    std::string replayPath;                 // every 'A' sends exactly this file's bytes
    std::string lockPath;                   // empty: the device is exclusive in this process only
    FaultPlan faults;
};

// The link rates KAPTOR_SIM_RATE may give, in bytes per second.
constexpr double MIN_RATE = 1.0;
constexpr double MAX_RATE = 1e9;

// Reads KAPTOR_SIM_TRACE, KAPTOR_SIM_FAULTS, KAPTOR_SIM_RATE, KAPTOR_SIM_BUFFER,
// KAPTOR_SIM_SCENE, KAPTOR_SIM_REPLAY and KAPTOR_SIM_LOCK. A malformed value is reported in error
// and ignored.
SimConfig configFromEnvironment(const std::function<const char*(const char*)>& getenv,
                                std::string& error);

// The picture the configuration names: its replay file, else its scene file; none (the built-in
// test chart) when it names neither or the file cannot be read, with error set for the latter.
std::unique_ptr<PictureSource> pictureSourceOf(const SimConfig& config, std::string& error);

}  // namespace kaptor::boardsim
