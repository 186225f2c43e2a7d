// Our own time per scan: label processing with pauses that take no time and a host
// that answers at once (the simulator without its journal).
#include "support/label_rig.h"

#include <benchmark/benchmark.h>

using lumetra::testing::LabelRig;

namespace {

void ThreeRecordLabel(benchmark::State& state) {
    LabelRig rig(false, false, false);
    for (auto _ : state) {
        rig.scan("%13P100 N 13 %");
        rig.scan("%23600 400 18 %");
        benchmark::DoNotOptimize(rig.scan("%331 2 3 4 %"));
    }
}
BENCHMARK(ThreeRecordLabel);

void PlainLabelWithAutomaticField(benchmark::State& state) {
    LabelRig rig(false, false, false);
    rig.settings.source = lumetra::AutoSelSource::ProgramName;
    for (std::size_t i = 0; i < lumetra::kSlotCount; ++i)
        rig.settings.fieldSlots[i] = {std::string(lumetra::kSlotNames[i]), true};
    rig.settings.halfLimitX = "1500";
    rig.settings.halfLimitY = "600";
    for (auto _ : state)
        benchmark::DoNotOptimize(rig.scan("P100"));
}
BENCHMARK(PlainLabelWithAutomaticField);

void FieldCodeBarcode(benchmark::State& state) {
    LabelRig rig(false, false, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(rig.scan("%A1/%"));
}
BENCHMARK(FieldCodeBarcode);

void ListFileOfAThousandEntries(benchmark::State& state) {
    LabelRig rig(false, false, false);
    std::string text = "HEADER LINE\r\n";
    for (int i = 0; i < 1000; ++i)
        text += "P" + std::to_string(i) + ";1;N;1;600;400;18;DOOR;;13\r\n";
    lumetra::testing::writeFile(rig.program("LISTA.LST"), text);
    for (auto _ : state) {
        benchmark::DoNotOptimize(rig.scan("%01LISTA"));
        state.PauseTiming();
        rig.scan("%CLEAR%"); // keeps the simulator's list from growing without end
        state.ResumeTiming();
    }
}
BENCHMARK(ListFileOfAThousandEntries);

} // namespace

BENCHMARK_MAIN();
