// Hot paths against plain copies of the same bytes, and whole control calls against the
// simulated board on the real clock. Targets: Inicializa well under 100 ms of wall time; a Toma
// within 1.05 x (600 ms + frame bytes / link rate), reported as the counter "of_budget".
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

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

std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 31);
    }
    return bytes;
}

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

void BM_AssembleFieldsAndInterpolate(benchmark::State& state) {
    const std::size_t width = WIDTHS[state.range(0)];
    const std::size_t lines = LINES[state.range(0)];
    const auto received = pattern(width * lines);
    std::vector<std::uint8_t> image(width * lines);
    for (auto _ : state) {
        control::assembleFields(received.data(), image.data(), width, lines, 0);
        control::interpolateSingleField(image.data(), width, lines);
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * width * lines));
}
BENCHMARK(BM_AssembleFieldsAndInterpolate)->Arg(0)->Arg(1);

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
BENCHMARK(BM_WriteBmp)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A control on the real clock, with the simulated board in this process.
struct RealRig {
    explicit RealRig(double rate) {
        boardsim::SimConfig config;
        config.bytesPerSecond = rate;
        board = std::make_unique<boardsim::Board>(config, clock, nullptr);
        active = std::make_unique<boardsim::ScopedActiveBoard>(*board);
        libraries.add("Ftd2xx.dll", boardsim::d2xxFunctionTable());
        files = std::make_unique<platform::HostFileSystem>(platform::DriveMap({{'C', dir.path()}}));
        test::writeFile(dir.path() / "KAPTOR" / "CONFIG.TXT", "EJEMPLO.TXT\r\n");
        test::writeFile(dir.path() / "KAPTOR" / "CONFIG" / "EJEMPLO.TXT",
                        "b\r\nb\r\n640\r\n120\r\n248\r\n20\r\n800\r\n0\r\n1\r\n128\r\n64\r\n0\r\n"
                        "10\r\n0\r\n0\r\n0\r\n");
        ctrl = std::make_unique<control::CKAPTORAXCtrl>(
            control::ControlServices{*files, person, clock, exit, libraries, dialogs});
        ctrl->setDestinoimagen("c:\\KAPTOR\\Imagen1.BMP");
    }
    struct NoDialogs : control::DialogRunner {
        void runConfigDialog(control::CBoardConfigDlg& d) override { d.resultCode = 3; }
        void runAboutBox() override {}
    } dialogs;
    test::TempDir dir;
    platform::RealClock clock;
    platform::ScriptedOperator person;
    platform::ThrowingProcessExit exit;
    platform::InProcessLibraryLoader libraries;
    std::unique_ptr<boardsim::Board> board;
    std::unique_ptr<boardsim::ScopedActiveBoard> active;
    std::unique_ptr<platform::HostFileSystem> files;
    std::unique_ptr<control::CKAPTORAXCtrl> ctrl;
};

void BM_Inicializa(benchmark::State& state) {
    RealRig rig(1e6);
    for (auto _ : state) {
        rig.ctrl->Inicializa();
    }
}
BENCHMARK(BM_Inicializa)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Toma(benchmark::State& state) {
    const double rate = static_cast<double>(state.range(0));
    RealRig rig(rate);
    rig.ctrl->Inicializa();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        rig.ctrl->Toma();
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    const double budget = 1.05 * (0.6 + 640.0 * 496.0 / rate);
    state.counters["of_budget"] = wall.count() / static_cast<double>(state.iterations()) / budget;
}
BENCHMARK(BM_Toma)
    ->Arg(1000000)
    ->Arg(40000000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
