// Our own time per scan: label processing with pauses that take no time and a host
// that answers at once (the simulator without its journal).
#include "support/label_rig.h"

#include <benchmark/benchmark.h>

using lumetra::testing::LabelRig;

namespace {

// The same label with its operator log lines and without any log, side by side.
void ThreeRecordLabel(benchmark::State& state) {
    LabelRig rig(false, false, false, state.range(0) != 0);
    for (auto _ : state) {
        rig.scan("%13P100 N 13 %");
        rig.scan("%23600 400 18 %");
        benchmark::DoNotOptimize(rig.scan("%331 2 3 4 %"));
    }
}
BENCHMARK(ThreeRecordLabel)->ArgName("log")->Arg(1)->Arg(0);

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

// A plain label whose program file and per-program CSV file are missing, among other files
// in the program and CSV folders: the case-blind look-up of both names.
void PlainLabelAmongOtherFiles(benchmark::State& state) {
    LabelRig rig(false, false, false);
    rig.settings.slot(lumetra::Slot::DFN).code = "N";
    for (int i = 0; i < state.range(0); ++i) {
        lumetra::testing::writeFile(rig.program("OTHER" + std::to_string(i)), "");
        lumetra::testing::writeFile(rig.dir.file("CSV/OTHER" + std::to_string(i) + ".CSV"), "");
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(rig.scan("P100"));
}
BENCHMARK(PlainLabelAmongOtherFiles)->Arg(0)->Arg(1000)->Arg(10000);

// The reads start-up makes (about a hundred keys) from an ORX.INI of the given size.
void StartUpReadsOfALargeOrxIni(benchmark::State& state) {
    lumetra::testing::TempDir dir;
    std::string text = "[VOZEZIZO]\r\nCommPollTime=100\r\n[NOTES]\r\n";
    for (int i = 0; text.size() < static_cast<std::size_t>(state.range(0)); ++i)
        text += "Note" + std::to_string(i) + "=" + std::string(60, 'n') + "\r\n";
    lumetra::testing::writeFile(dir.file("ORX.INI"), text);
    for (auto _ : state) {
        lumetra::PortableProfile profile(dir.str());
        for (int key = 0; key < 100; ++key)
            benchmark::DoNotOptimize(profile.readString(dir.file("ORX.INI"), "VOZEZIZO",
                                                        "Key" + std::to_string(key), "", 128));
    }
}
BENCHMARK(StartUpReadsOfALargeOrxIni)
    ->Arg(100 * 1024)
    ->Arg(1024 * 1024)
    ->Arg(10 * 1024 * 1024)
    ->Unit(benchmark::kMillisecond);

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
