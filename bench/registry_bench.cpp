// What the host stand-in costs: the program's registry walk over N instance
// keys and over a branch of N device keys, and reading and writing .reg
// files of 1 to 100 MB.
#include <benchmark/benchmark.h>

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "console_ui.h"
#include "generated_registry.h"
#include "platform.h"
#include "reg_file.h"

namespace {

// The program, run as `Pellikor ON` (no trace) over a registry in memory.
void RunProgram(benchmark::State &state, const host::Registry &prototype)
{
    static std::FILE *screen = std::fopen("/dev/null", "w");
    host::ConsoleUi ui(screen, false, "");
    host::Registry registry = host::ReadRegFile(host::WriteRegFile(prototype));
    host::Platform platform(registry, ui, {}, nullptr);
    host::ActivePlatform active(platform);
    char tail[] = "ON";
    for (auto _ : state)
        benchmark::DoNotOptimize(WinMain(nullptr, nullptr, tail, SW_SHOWDEFAULT));
    state.counters["keys"] = static_cast<double>(state.range(0));
    state.counters["ns_per_key"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                      benchmark::Counter::kIsIterationInvariantRate |
                                                          benchmark::Counter::kInvert);
}

void BM_WalkInstances(benchmark::State &state)
{
    RunProgram(state, bench::DriveWithInstances(static_cast<std::size_t>(state.range(0))));
}

void BM_WalkDeviceKeys(benchmark::State &state)
{
    RunProgram(state, bench::DeviceKeysBeforeDrive(static_cast<std::size_t>(state.range(0))));
}

void BM_ReadRegFile(benchmark::State &state)
{
    const std::string text = bench::RegFileOfSize(static_cast<std::size_t>(state.range(0)) << 20);
    for (auto _ : state)
        benchmark::DoNotOptimize(host::ReadRegFile(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_WriteRegFile(benchmark::State &state)
{
    const host::Registry registry =
        host::ReadRegFile(bench::RegFileOfSize(static_cast<std::size_t>(state.range(0)) << 20));
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text = host::WriteRegFile(registry);
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

}  // namespace

BENCHMARK(BM_WalkInstances)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkDeviceKeys)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRegFile)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteRegFile)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
