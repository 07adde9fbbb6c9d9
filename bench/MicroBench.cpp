// Native micro-benchmarks: one status tick, one load and save, and the performance-data parse.
#include <benchmark/benchmark.h>

#include <vector>

#include "fakes/PerfDataBuilder.h"
#include "monitor/PerfData.h"
#include "unit/FormHarness.h"

namespace lumora {
namespace {

using testing::FormHarness;

std::vector<std::uint8_t> ProcessorBlock(std::size_t processors)
{
    std::vector<std::int64_t> idle(processors, 1000);
    return fakes::PerfDataBuilder().SystemTime(2026, 12, 7, 12, 0, 0).Processor(idle).Build();
}

// One tick of Timer1 on an NT machine with one processor, CPU detection on.
void Timer1Tick(benchmark::State& state)
{
    FormHarness h;
    h.machine.system.os.platformId = kPlatformNt;
    // Windows NT has no 9x statistics key; the fake machine has one unless told otherwise.
    h.machine.registry.RemoveKey(fakes::kStatDataKey);
    h.machine.performance.blocks.push_back(ProcessorBlock(1));
    TForm1& form = h.Start();
    for (auto _ : state) form.Timer1Timer();
}
BENCHMARK(Timer1Tick);

// One SaveData followed by one ReadData against the in-memory registry and SYSTEM.INI.
void SaveAndReadData(benchmark::State& state)
{
    FormHarness h;
    TForm1& form = h.Start();
    for (auto _ : state) {
        form.SaveData();
        form.ReadData();
        h.machine.registry.log.clear();
        h.machine.profile.log.clear();
        h.machine.profile.files.clear();
    }
}
BENCHMARK(SaveAndReadData);

// Finding the "Processor" object and reading every instance's idle counter.
void ParseProcessorData(benchmark::State& state)
{
    const auto processors = static_cast<std::size_t>(state.range(0));
    const auto block = ProcessorBlock(processors);
    std::vector<std::int64_t> idle(processors);
    for (auto _ : state) {
        PerfDataReader reader(block.data(), block.size());
        PerfObject object;
        std::uint32_t offset = 0;
        if (reader.FindObject(238, object) != PerfResult::Found) state.SkipWithError("no object");
        if (reader.FindCounter(object, 6, offset) != PerfResult::Found) state.SkipWithError("no counter");
        benchmark::DoNotOptimize(reader.ReadInstanceCounters(object, offset, processors, idle.data()));
    }
}
BENCHMARK(ParseProcessorData)->Arg(1)->Arg(8)->Arg(64);

}  // namespace
}  // namespace lumora

BENCHMARK_MAIN();
