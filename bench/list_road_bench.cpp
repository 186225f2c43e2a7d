// The whole road of a list file: label processing, the work list, the host simulator
// with its journal and its window (offscreen). Entries per second for 1,000 and 10,000
// entries show that the cost is linear.
#include "app/host_simulator_window.h"
#include "support/label_rig.h"

#include <QApplication>
#include <benchmark/benchmark.h>

using lumetra::testing::LabelRig;

namespace {

void ListThroughTheSimulator(benchmark::State& state) {
    const auto entries = static_cast<int>(state.range(0));
    LabelRig rig;
    lumetra::HostSimulatorWindow window(rig.automation);
    window.show();
    std::string text = "HEADER LINE\r\n";
    for (int i = 0; i < entries; ++i)
        text += "P" + std::to_string(i) + ";1;N;1;600;400;18;DOOR;;13\r\n";
    lumetra::testing::writeFile(rig.program("BIG.LST"), text);
    for (auto _ : state) {
        benchmark::DoNotOptimize(rig.scan("%01BIG"));
        state.PauseTiming();
        rig.scan("%CLEAR%");
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * entries);
}
BENCHMARK(ListThroughTheSimulator)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
