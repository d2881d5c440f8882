// What the benchmarks share: seconds of a duration, and a measured figure reported beside its
// goal and their ratio (a ratio above 1 misses the goal).
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace kaptor::bench {

inline double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

inline void goal(benchmark::State& state, const char* name, double measured, double target) {
    state.counters[name] = measured;
    state.counters[std::string(name) + "_goal"] = target;
    state.counters[std::string(name) + "_ratio"] = measured / target;
}

}  // namespace kaptor::bench
