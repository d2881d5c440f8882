#include "boardsim/sim_config.h"

#include <charconv>

namespace kaptor::boardsim {

SimConfig configFromEnvironment(const std::function<const char*(const char*)>& getenv,
                                std::string& error) {
    SimConfig config;
    const auto text = [&getenv](const char* name) -> std::string {
        const char* value = getenv(name);
        return value == nullptr ? std::string{} : std::string(value);
    };
    config.tracePath = text("KAPTOR_SIM_TRACE");
    config.scenePath = text("KAPTOR_SIM_SCENE");
    config.replayPath = text("KAPTOR_SIM_REPLAY");
    config.lockPath = text("KAPTOR_SIM_LOCK");
    if (const std::string rate = text("KAPTOR_SIM_RATE"); !rate.empty()) {
        double value = 0;
        const auto [end, ec] = std::from_chars(rate.data(), rate.data() + rate.size(), value);
        // inf, nan and 1e308 would break the link's timing; no USB link goes past 1 GB/s.
        if (ec == std::errc{} && end == rate.data() + rate.size() && value >= MIN_RATE &&
            value <= MAX_RATE) {
            config.bytesPerSecond = value;
        } else {
            error += "KAPTOR_SIM_RATE: '" + rate +
                     "' is not a number of bytes per second from 1 to 1000000000; ";
        }
    }
    if (const std::string buffer = text("KAPTOR_SIM_BUFFER"); !buffer.empty()) {
        std::size_t value = 0;
        const auto [end, ec] = std::from_chars(buffer.data(), buffer.data() + buffer.size(), value);
        if (ec == std::errc{} && end == buffer.data() + buffer.size() && value > 0) {
            config.driverBuffer = value;
        } else {
            error += "KAPTOR_SIM_BUFFER: not a positive number of bytes; ";
        }
    }
    std::string faultError;
    if (const auto plan = parseFaultPlan(text("KAPTOR_SIM_FAULTS"), faultError)) {
        config.faults = *plan;
    } else {
        error += "KAPTOR_SIM_FAULTS: " + faultError + "; ";
    }
    return config;
}

std::unique_ptr<PictureSource> pictureSourceOf(const SimConfig& config, std::string& error) {
    if (!config.replayPath.empty()) {
        return makeReplaySource(config.replayPath, error);
    }
    if (!config.scenePath.empty()) {
        if (auto scene = loadSceneFile(config.scenePath, error)) {
            return makeSampledSource(std::move(scene));
        }
    }
    return nullptr;
}

}  // namespace kaptor::boardsim
