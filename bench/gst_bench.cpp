// kaptorsrc's cost beside the capture it wraps, at 640 x 496 on the simulated board replaying a
// frame at 1e8 bytes/s. Goals, reported as counters (ratio <= 1 meets the goal):
// - the element's own time per buffer: its create() less a Session::capture() of the same
//   frame, element_ms <= 1 in wall time, element_cpu_ms <= 1 in the thread's CPU time (and
//   the picture's way into a GstBuffer alone, in microseconds);
// - a 20-buffer pipeline into fakesink, from PLAYING to EOS: of_floor = wall / (20 x (600 ms +
//   frame bytes / rate)) <= 1.02.
#include <benchmark/benchmark.h>
#include <gst/gst.h>
#include <time.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "bench/bench_goal.h"
#include "cli/sample_config.h"
#include "gst/kaptor_src.h"
#include "gst/picture_buffer.h"
#include "kaptor/kaptor.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace kaptor;

constexpr int WIDTH = 640;
constexpr int LINES = 496;
constexpr double RATE = 1e8;
constexpr int PIPELINE_BUFFERS = 20;
constexpr double ELEMENT_GOAL_MS = 1.0;
constexpr double PIPELINE_GOAL_OF_FLOOR = 1.02;
constexpr double FLOOR_SECONDS = 0.6 + WIDTH * LINES / RATE;

// The scratch drive, registry and replayed frame, set up before GStreamer and the simulated
// board first read their environment.
struct Scratch {
    Scratch() {
        test::writeFile(dir.path() / "c/KAPTOR/CONFIG.TXT",
                        std::string(cli::SAMPLE_CONFIG_NAME) + "\r\n");
        test::writeFile(dir.path() / "c/KAPTOR/CONFIG" / cli::SAMPLE_CONFIG_NAME,
                        cli::SAMPLE_CONFIG_TEXT);
        std::string frame(WIDTH * LINES, '\0');
        for (std::size_t i = 0; i < frame.size(); ++i) {
            frame[i] = static_cast<char>(i * 31);
        }
        test::writeFile(dir.path() / "frame.bin", frame);
        ::setenv("KAPTOR_SIM_REPLAY", (dir.path() / "frame.bin").c_str(), 1);
        ::setenv("KAPTOR_SIM_RATE", "100000000", 1);
        ::unsetenv("KAPTOR_SIM_FAULTS");
        ::setenv("GST_REGISTRY_1_0", (dir.path() / "registry.bin").c_str(), 1);
        gst_init(nullptr, nullptr);
        kaptor::gst::registerKaptorSrc(nullptr);
    }
    std::string driveC() const { return (dir.path() / "c").string(); }

    test::TempDir dir;
};

Scratch& scratch() {
    static Scratch made;
    return made;
}

using kaptor::bench::goal;
using kaptor::bench::seconds;

GstElement* source() {
    GstElement* element = gst_element_factory_make("kaptorsrc", nullptr);
    g_object_set(element, "simulated", TRUE, "drive-c", scratch().driveC().c_str(), nullptr);
    return element;
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Wall and CPU time of one Session::capture() and one create() of a started element, in turns;
// the wall times each hold the board's 600 ms wait, whose jitter the CPU times do not have.
void BM_ElementBesideCapture(benchmark::State& state) {
    std::chrono::steady_clock::duration capture{}, create{};
    double captureCpu = 0, createCpu = 0;
    for (auto _ : state) {
        {
            Session session(
                SessionOptions{.board = Board::Simulated, .drives = {{'C', scratch().driveC()}}});
            session.initialize();
            const double cpu = threadCpuSeconds();
            const auto start = std::chrono::steady_clock::now();
            // Asked between reads and in the board's wait, as the element's capture is.
            benchmark::DoNotOptimize(session.capture({.cancelled = [] { return false; }}));
            capture += std::chrono::steady_clock::now() - start;
            captureCpu += threadCpuSeconds() - cpu;
        }
        GstElement* element = source();
        auto* base = GST_BASE_SRC(element);
        if (!GST_BASE_SRC_GET_CLASS(base)->start(base)) {
            state.SkipWithError("the element did not start");
            gst_object_unref(element);
            break;
        }
        GstBuffer* buffer = nullptr;
        const double cpu = threadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const GstFlowReturn flow =
            GST_PUSH_SRC_GET_CLASS(element)->create(GST_PUSH_SRC(element), &buffer);
        create += std::chrono::steady_clock::now() - start;
        createCpu += threadCpuSeconds() - cpu;
        GST_BASE_SRC_GET_CLASS(base)->stop(base);
        gst_object_unref(element);
        if (flow != GST_FLOW_OK) {
            state.SkipWithError("create() failed");
            break;
        }
        gst_buffer_unref(buffer);
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["capture_ms"] = seconds(capture) / n * 1e3;
    state.counters["create_ms"] = seconds(create) / n * 1e3;
    goal(state, "element_ms", (seconds(create) - seconds(capture)) / n * 1e3, ELEMENT_GOAL_MS);
    goal(state, "element_cpu_ms", (createCpu - captureCpu) / n * 1e3, ELEMENT_GOAL_MS);
}
BENCHMARK(BM_ElementBesideCapture)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

// The picture into a buffer: taken over as it is (width a multiple of 4), or copied row by row
// into padded rows.
void BM_PictureIntoBuffer(benchmark::State& state) {
    scratch();
    const int width = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Picture picture{width, LINES, std::vector<std::uint8_t>(std::size_t(width) * LINES, 7), {}};
        state.ResumeTiming();
        GstBuffer* buffer = kaptor::gst::pictureBuffer(std::move(picture));
        gst_buffer_unref(buffer);
    }
}
BENCHMARK(BM_PictureIntoBuffer)->Arg(WIDTH)->Arg(WIDTH + 1)->Unit(benchmark::kMicrosecond);

// kaptorsrc num-buffers=20 ! fakesink, from PLAYING to EOS.
void BM_Pipeline(benchmark::State& state) {
    const std::string description =
        "kaptorsrc simulated=true num-buffers=" + std::to_string(PIPELINE_BUFFERS) + " drive-c=\"" +
        scratch().driveC() + "\" ! fakesink";
    std::chrono::steady_clock::duration wall{};
    for (auto _ : state) {
        GstElement* pipeline = gst_parse_launch(description.c_str(), nullptr);
        gst_element_set_state(pipeline, GST_STATE_PAUSED);
        gst_element_get_state(pipeline, nullptr, nullptr, GST_CLOCK_TIME_NONE);
        const auto start = std::chrono::steady_clock::now();
        gst_element_set_state(pipeline, GST_STATE_PLAYING);
        GstBus* bus = gst_element_get_bus(pipeline);
        GstMessage* end = gst_bus_timed_pop_filtered(
            bus, GST_CLOCK_TIME_NONE,
            static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        wall += std::chrono::steady_clock::now() - start;
        const bool ok = GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
        gst_message_unref(end);
        gst_object_unref(bus);
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
        if (!ok) {
            state.SkipWithError("the pipeline failed");
            break;
        }
    }
    const auto n = static_cast<double>(state.iterations());
    goal(state, "of_floor", seconds(wall) / n / (PIPELINE_BUFFERS * FLOOR_SECONDS),
         PIPELINE_GOAL_OF_FLOOR);
}
BENCHMARK(BM_Pipeline)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
