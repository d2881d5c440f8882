// Hot paths against plain copies of the same bytes, and whole control calls against the
// simulated board on the real clock. Every benchmark that has a goal reports the measured
// figure, the goal and their ratio as counters (ratio <= 1 meets the goal):
// - assembly plus single-field interpolation: x_memcpy <= 2 (a memcpy of the same bytes, timed
//   in the same run);
// - Toma (board on replay): of_floor = wall / (600 ms + frame bytes / rate) <= 1.01, and the
//   control's own CPU time (the thread's CPU minus what the board's calls spent) <= 5 ms at
//   640 x 496 and <= 15 ms at 1024 x 1534;
// - the picture write with its flushes, and the control's construction, for the start-up.
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "bench/bench_goal.h"
#include "boardsim/board.h"
#include "boardsim/d2xx_functions.h"
#include "control/bmp_file.h"
#include "control/field_assembly.h"
#include "control/kaptorax_ctrl.h"
#include "platform/clock.h"
#include "platform/library_loader.h"
#include "platform/process_exit.h"
#include "platform/scripted_operator.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace kaptor;

// 640 x 496, and the largest interlaced frame the image buffer holds at 1024 pixels a line.
constexpr std::size_t WIDTHS[] = {640, 1024};
constexpr std::size_t LINES[] = {496, 1534};
constexpr double CONTROL_CPU_GOAL_MS[] = {5.0, 15.0};
constexpr double ASSEMBLY_GOAL_X_MEMCPY = 2.0;
constexpr double TOMA_GOAL_OF_FLOOR = 1.01;

std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 31);
    }
    return bytes;
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

using kaptor::bench::goal;
using kaptor::bench::seconds;

void BM_Memcpy(benchmark::State& state) {
    const std::size_t size = WIDTHS[state.range(0)] * LINES[state.range(0)];
    const auto source = pattern(size);
    std::vector<std::uint8_t> target(size);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), size);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_Memcpy)->Arg(0)->Arg(1);

// The assembly Toma runs in single-field mode, beside a memcpy of the same bytes between the
// same buffers, alternately, so both see the same caches and the same machine load.
void BM_AssembleSingleField(benchmark::State& state) {
    const std::size_t width = WIDTHS[state.range(0)];
    const std::size_t lines = LINES[state.range(0)];
    const auto received = pattern(width * lines);
    std::vector<std::uint8_t> image(width * lines);
    std::chrono::steady_clock::duration assembly{};
    std::chrono::steady_clock::duration copy{};
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        control::assembleSingleField(received.data(), image.data(), width, lines, 0);
        benchmark::ClobberMemory();
        const auto t1 = std::chrono::steady_clock::now();
        std::memcpy(image.data(), received.data(), width * lines);
        benchmark::ClobberMemory();
        const auto t2 = std::chrono::steady_clock::now();
        assembly += t1 - t0;
        copy += t2 - t1;
    }
    goal(state, "x_memcpy", seconds(assembly) / seconds(copy), ASSEMBLY_GOAL_X_MEMCPY);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * width * lines));
}
BENCHMARK(BM_AssembleSingleField)->Arg(0)->Arg(1);

// The former path, for comparison: both fields laid, then one replaced.
void BM_AssembleFieldsThenInterpolate(benchmark::State& state) {
    const std::size_t width = WIDTHS[state.range(0)];
    const std::size_t lines = LINES[state.range(0)];
    const auto received = pattern(width * lines);
    std::vector<std::uint8_t> image(width * lines);
    for (auto _ : state) {
        control::assembleFields(received.data(), image.data(), width, lines, 0);
        control::interpolateSingleField(image.data(), width, lines);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * width * lines));
}
BENCHMARK(BM_AssembleFieldsThenInterpolate)->Arg(0)->Arg(1);

void BM_WriteBmp(benchmark::State& state) {
    const auto width = static_cast<std::int32_t>(WIDTHS[state.range(0)]);
    const auto lines = static_cast<std::int32_t>(LINES[state.range(0)]);
    const auto image = pattern(static_cast<std::size_t>(width * lines));
    test::TempDir dir;
    platform::HostFileSystem files(platform::DriveMap({{'C', dir.path()}}));
    control::BmpHeader header;
    control::buildHeaderTemplate(header);
    control::patchHeaderDimensions(header, width, lines);
    for (auto _ : state) {
        if (!control::writeBmpFile(files, "C:\\Imagen1.BMP", header, image, width, lines)) {
            state.SkipWithError("write failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * width * lines);
}
BENCHMARK(BM_WriteBmp)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// CPU time the board's own calls spend on this thread, so that it can be taken out of a
// capture's CPU time. The D2XX table carries plain function pointers, hence one counter for
// the benchmark process.
double& boardCpuSeconds() {
    static double spent = 0;
    return spent;
}

std::uint64_t& boardCalls() {
    static std::uint64_t calls = 0;
    return calls;
}

template <auto Function, typename... Args>
d2xx::FT_STATUS timed(Args... args) {
    const double start = threadCpuSeconds();
    const d2xx::FT_STATUS status = Function(args...);
    boardCpuSeconds() += threadCpuSeconds() - start;
    ++boardCalls();
    return status;
}

std::map<std::string, void*> timedD2xxFunctions() {
    namespace abi = boardsim::abi;
    using d2xx::DWORD;
    using d2xx::FT_HANDLE;
    const auto address = [](auto function) { return reinterpret_cast<void*>(function); };
    auto table = boardsim::d2xxFunctionTable();
    table["FT_Read"] = address(&timed<&abi::read, FT_HANDLE, void*, DWORD, DWORD*>);
    table["FT_Write"] = address(&timed<&abi::write, FT_HANDLE, void*, DWORD, DWORD*>);
    table["FT_ResetDevice"] = address(&timed<&abi::resetDevice, FT_HANDLE>);
    table["FT_GetQueueStatus"] = address(&timed<&abi::getQueueStatus, FT_HANDLE, DWORD*>);
    return table;
}

// What one timed board call costs the thread outside its own window: about one reading of the
// thread's CPU clock (the end of the first, the start of the second), so that it is not
// charged to the control.
double timingOverheadSeconds() {
    static const double overhead = [] {
        constexpr int CALLS = 20000;
        const double start = threadCpuSeconds();
        for (int i = 0; i < CALLS; ++i) {
            benchmark::DoNotOptimize(threadCpuSeconds());
            benchmark::DoNotOptimize(threadCpuSeconds());
        }
        return (threadCpuSeconds() - start) / (2 * CALLS);
    }();
    return overhead;
}

// The host's files, with the wall time spent creating, writing and committing (flushing)
// replacement files counted apart: the durable picture write is the disk's cost, not the
// capture's.
class TimedFileSystem : public platform::FileSystem {
  public:
    explicit TimedFileSystem(platform::FileSystem& inner) : inner_(inner) {}
    double seconds = 0;

    std::optional<std::string> readUpTo(std::string_view path, std::size_t maxBytes) override {
        return inner_.readUpTo(path, maxBytes);
    }
    bool exists(std::string_view path) override { return inner_.exists(path); }
    std::unique_ptr<platform::ReplacementFile> createReplacement(std::string_view path) override {
        const auto start = std::chrono::steady_clock::now();
        auto file = inner_.createReplacement(path);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return file ? std::make_unique<TimedFile>(std::move(file), seconds) : nullptr;
    }
    bool remove(std::string_view path) override { return inner_.remove(path); }
    std::unique_ptr<platform::FileFind> findFirst(std::string_view pattern,
                                                  std::string& name) override {
        return inner_.findFirst(pattern, name);
    }
    std::optional<std::filesystem::path> hostPath(std::string_view path) override {
        return inner_.hostPath(path);
    }

  private:
    class TimedFile : public platform::ReplacementFile {
      public:
        TimedFile(std::unique_ptr<platform::ReplacementFile> inner, double& seconds)
            : inner_(std::move(inner)), seconds_(seconds) {}
        bool write(std::span<const std::uint8_t> bytes) override {
            return timed([&] { return inner_->write(bytes); });
        }
        bool commit() override {
            return timed([&] { return inner_->commit(); });
        }

      private:
        template <typename F>
        bool timed(F f) {
            const auto start = std::chrono::steady_clock::now();
            const bool ok = f();
            seconds_ +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            return ok;
        }
        std::unique_ptr<platform::ReplacementFile> inner_;
        double& seconds_;
    };

    platform::FileSystem& inner_;
};

std::string configText(std::size_t width, std::size_t lines) {
    // Interlaced, single field: the whole assembly path.
    return "b\r\nb\r\n" + std::to_string(width) + "\r\n120\r\n" + std::to_string(lines / 2) +
           "\r\n20\r\n800\r\n0\r\n1\r\n128\r\n64\r\n0\r\n10\r\n0\r\n0\r\n1\r\n";
}

// A control on the real clock, with the simulated board in this process replaying a frame of
// the given size.
struct RealRig {
    // With timedBoard the board's calls count their CPU time (a thread CPU clock read costs
    // microseconds here, so wall times are taken without it).
    RealRig(double rate, std::size_t width, std::size_t lines, bool timedBoard = false) {
        boardsim::SimConfig config;
        config.bytesPerSecond = rate;
        board = std::make_unique<boardsim::Board>(
            config, clock, boardsim::makeBytesSource(pattern(width * lines)));
        active = std::make_unique<boardsim::ScopedActiveBoard>(*board);
        libraries.add("Ftd2xx.dll",
                      timedBoard ? timedD2xxFunctions() : boardsim::d2xxFunctionTable());
        hostFiles =
            std::make_unique<platform::HostFileSystem>(platform::DriveMap({{'C', dir.path()}}));
        files = std::make_unique<TimedFileSystem>(*hostFiles);
        test::writeFile(dir.path() / "KAPTOR" / "CONFIG.TXT", "EJEMPLO.TXT\r\n");
        test::writeFile(dir.path() / "KAPTOR" / "CONFIG" / "EJEMPLO.TXT", configText(width, lines));
        ctrl = std::make_unique<control::CKAPTORAXCtrl>(
            control::ControlServices{*files, person, clock, exit, libraries, dialogs});
        ctrl->setDestinoimagen("c:\\KAPTOR\\Imagen1.BMP");
    }
    struct NoDialogs : control::DialogRunner {
        void runConfigDialog(control::CBoardConfigDlg&) override {}
        void runAboutBox() override {}
    } dialogs;
    test::TempDir dir;
    platform::RealClock clock;
    platform::ScriptedOperator person;
    platform::ThrowingProcessExit exit;
    platform::InProcessLibraryLoader libraries;
    std::unique_ptr<boardsim::Board> board;
    std::unique_ptr<boardsim::ScopedActiveBoard> active;
    std::unique_ptr<platform::HostFileSystem> hostFiles;
    std::unique_ptr<TimedFileSystem> files;
    std::unique_ptr<control::CKAPTORAXCtrl> ctrl;
};

void BM_Inicializa(benchmark::State& state) {
    RealRig rig(1e6, 640, 496);
    for (auto _ : state) {
        rig.ctrl->Inicializa();
    }
}
BENCHMARK(BM_Inicializa)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Toma(benchmark::State& state) {
    const double rate = static_cast<double>(state.range(0));
    const std::size_t width = WIDTHS[state.range(1)];
    const std::size_t lines = LINES[state.range(1)];
    RealRig rig(rate, width, lines);
    rig.ctrl->Inicializa();
    std::chrono::steady_clock::duration wall{};
    double fileSeconds = 0;
    for (auto _ : state) {
        const double files = rig.files->seconds;
        const auto start = std::chrono::steady_clock::now();
        rig.ctrl->Toma();
        wall += std::chrono::steady_clock::now() - start;
        fileSeconds += rig.files->seconds - files;
    }
    const auto n = static_cast<double>(state.iterations());
    const double floor = 0.6 + static_cast<double>(width * lines) / rate;
    goal(state, "of_floor", seconds(wall) / n / floor, TOMA_GOAL_OF_FLOOR);
    // The same without the picture file's creation, writing and flushes.
    goal(state, "of_floor_no_file", (seconds(wall) - fileSeconds) / n / floor, TOMA_GOAL_OF_FLOOR);
    state.counters["file_ms"] = fileSeconds / n * 1e3;
    if (!rig.person.texts().empty()) {
        state.SkipWithError(rig.person.texts().front().c_str());
    }
}

// The control's own CPU time in a Toma: the thread's CPU time less what the board's calls spent
// and less the cost of timing them.
void BM_TomaControlCpu(benchmark::State& state) {
    const double rate = static_cast<double>(state.range(0));
    const std::size_t width = WIDTHS[state.range(1)];
    const std::size_t lines = LINES[state.range(1)];
    RealRig rig(rate, width, lines, true);
    rig.ctrl->Inicializa();
    const double overhead = timingOverheadSeconds();
    double controlCpu = 0;
    std::uint64_t tomaCalls = 0;
    for (auto _ : state) {
        const double board = boardCpuSeconds();
        const std::uint64_t calls = boardCalls();
        const double cpu = threadCpuSeconds();
        rig.ctrl->Toma();
        tomaCalls += boardCalls() - calls;
        controlCpu += (threadCpuSeconds() - cpu) - (boardCpuSeconds() - board) -
                      static_cast<double>(boardCalls() - calls) * overhead;
    }
    const auto n = static_cast<double>(state.iterations());
    goal(state, "control_cpu_ms", controlCpu / n * 1e3, CONTROL_CPU_GOAL_MS[state.range(1)]);
    state.counters["board_calls"] = static_cast<double>(tomaCalls) / n;
}

constexpr std::int64_t RATES[] = {1000000, 8000000, 40000000, 100000000};
BENCHMARK(BM_Toma)
    ->ArgsProduct({{std::begin(RATES), std::end(RATES)}, {0, 1}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_TomaControlCpu)
    ->ArgsProduct({{std::begin(RATES), std::end(RATES)}, {0, 1}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What the start-up spends on the control: building it (and giving it back).
void BM_ControlConstruction(benchmark::State& state) {
    RealRig rig(1e6, 640, 496);
    for (auto _ : state) {
        auto ctrl = std::make_unique<control::CKAPTORAXCtrl>(control::ControlServices{
            *rig.files, rig.person, rig.clock, rig.exit, rig.libraries, rig.dialogs});
        benchmark::DoNotOptimize(ctrl.get());
    }
}
BENCHMARK(BM_ControlConstruction)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
