// What the host stand-in costs: the program's registry walk over N instance
// keys and over a branch of N device keys, and reading and writing .reg
// files of 1 to 100 MB.
#include <benchmark/benchmark.h>

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <unistd.h>
#include <cstdio>
#include <stdexcept>
#include <memory>
#include <string>

#include "console_ui.h"
#include "generated_registry.h"
#include "platform.h"
#include "reg_file.h"
#include "registry_file.h"

namespace {

// The program, run as `Pellikor ON` (no trace) over a registry in memory,
// fresh for every run as a process finds it: values not yet read.
void RunProgram(benchmark::State &state, const std::string &text)
{
    static std::FILE *screen = std::fopen("/dev/null", "w");
    host::ConsoleUi ui(screen, false, "");
    char tail[] = "ON";
    for (auto _ : state) {
        state.PauseTiming();
        {
            host::Registry registry = host::ReadRegFile(text);
            host::Platform platform(registry, ui, {}, nullptr);
            host::ActivePlatform active(platform);
            state.ResumeTiming();
            benchmark::DoNotOptimize(WinMain(nullptr, nullptr, tail, SW_SHOWDEFAULT));
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    state.counters["keys"] = static_cast<double>(state.range(0));
}

void BM_WalkInstances(benchmark::State &state)
{
    RunProgram(state, bench::DriveWithInstances(static_cast<std::size_t>(state.range(0))));
}

void BM_WalkDeviceKeys(benchmark::State &state)
{
    RunProgram(state, bench::DeviceKeysBeforeDrive(static_cast<std::size_t>(state.range(0))));
}

// A generated .reg file of the benchmark's size in megabytes, removed with it.
class GeneratedFile {
public:
    explicit GeneratedFile(std::int64_t megabytes)
        : path_((std::filesystem::temp_directory_path() /
                 ("pellikor-bench-" + std::to_string(getpid()) + "-" + std::to_string(megabytes) + ".reg"))
                    .string())
    {
        const std::string text = bench::RegFileOfSize(static_cast<std::size_t>(megabytes) << 20);
        std::FILE *out = std::fopen(path_.c_str(), "wb");
        if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fclose(out) != 0)
            throw std::runtime_error("cannot write " + path_);
    }
    ~GeneratedFile() { std::remove(path_.c_str()); }
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

std::int64_t SizeOf(const std::string &path)
{
    std::FILE *file = std::fopen(path.c_str(), "rb");
    std::fseek(file, 0, SEEK_END);
    std::int64_t size = std::ftell(file);
    std::fclose(file);
    return size;
}

// Opening, locking and reading the file, as a run starts.
void BM_LoadRegFile(benchmark::State &state)
{
    GeneratedFile generated(state.range(0));
    const std::string &path = generated.path();
    for (auto _ : state) {
        host::RegistryFile file(path);
        benchmark::DoNotOptimize(file.registry());
    }
    state.SetBytesProcessed(state.iterations() * SizeOf(path));
}

// Writing it back to a temporary file, flushing it and renaming it over.
void BM_SaveRegFile(benchmark::State &state)
{
    GeneratedFile generated(state.range(0));
    const std::string &path = generated.path();
    for (auto _ : state) {
        state.PauseTiming();
        {
            host::RegistryFile file(path);
            state.ResumeTiming();
            file.save();
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * SizeOf(path));
}

}  // namespace

BENCHMARK(BM_WalkInstances)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WalkDeviceKeys)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadRegFile)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveRegFile)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
