// The whole core of label processing and program import, built as the program builds
// it, over real files in a temporary folder, the host simulator with its journal, a fake
// scanner port, a fake main window and pauses that take no time.
#pragma once

#include "fields/field_selector.h"
#include "host/host_calls.h"
#include "labels/label_export.h"
#include "labels/label_processor.h"
#include "labels/line_road.h"
#include "labels/list_file.h"
#include "labels/program_importer.h"
#include "platform/portable/portable_profile.h"
#include "platform/sim/deflate_codec.h"
#include "platform/sim/simulated_automation.h"
#include "programs/editor_launcher.h"
#include "programs/payload_expander.h"
#include "programs/program_file.h"
#include "support/fakes.h"
#include "support/native_file_probe.h"
#include "support/workspace.h"

#include <memory>

namespace lumetra::testing {

struct NoDesktop : Desktop {
    int starts = 0;
    std::optional<TaskId> start(std::string_view) override {
        ++starts;
        return 1;
    }
    std::optional<bool> isRunning(TaskId) override { return true; }
    bool activate(TaskId) override { return true; }
    bool hasWindows() const override { return true; }
    std::optional<WindowId> windowOf(TaskId) override { return 1; }
    bool makeTopmost(WindowId) override { return true; }
    KeysOutcome sendKeys(TaskId, std::string_view) override { return KeysOutcome::Sent; }
};

struct LabelRig {
    // Without `journal` the host simulator keeps no journal; without `operatorLog` the rig
    // keeps no operator log (to measure what the log costs).
    explicit LabelRig(bool consolePresent = false, bool hostAbsent = false, bool journal = true,
                      bool operatorLog = true)
        : log(operatorLog ? dir.file("operator.log") : std::string()),
          paths(driveEnvironment(dir), "/exe"), profile(dir.str()),
          ini(profile, dir.file("ORX.INI")), files(probe, paths, dialogs), status(panel, log, pump),
          automation({journal ? dir.file("journal.tsv") : std::string(), hostAbsent, 0}),
          host(automation, config.host), hostCalls(host, status),
          workList(state, host, ini, config, status, log),
          selector(settings, selectorState, state.data, panel),
          editor(desktop, status, dialogs, state, log),
          programs(state, config, paths, dialogs, log),
          exporter(state, config, paths, files, status, log),
          lists(state, config, paths, dialogs, hostCalls, workList, status, panel, log),
          road(state, config.host, settings, display, selector, workList, hostCalls, editor, port,
               panel, status, log),
          processor(state, settings, selector, hostCalls, lists, exporter, programs, road, panel,
                    status, log),
          importer(state, config, paths, hostCalls, lists, programs, road, panel, status, log),
          expander(compression, paths, log) {
        config.host.consolePresent = consolePresent;
        config.gcodePath = "C:\\PRODUCT\\";
        config.csvInPath = "C:\\CSV";
        config.csvOutPath = "C:\\Lumetra.csv";
        std::filesystem::create_directories(dir.file("PRODUCT"));
        std::filesystem::create_directories(dir.file("CSV"));
        fillFieldCodeTable(state.fieldCodeTable);
        state.listResetPending = true;
        port.open_ = true;
        panel.options[Option::AutoStart] = 0;
        if (!hostAbsent) {
            host.createHostApplication();
            host.connectWorkList();
        }
    }

    bool scan(const std::string& text) { return processor.processLabelScan(text); }
    std::vector<std::string> journal() const { return journalMembers(dir.file("journal.tsv")); }
    const std::vector<std::string>& lines() const { return automation.state().lines; }
    std::string program(const std::string& name) const { return dir.file("PRODUCT/" + name); }

    TempDir dir;
    OperatorLog log;
    PosixPaths paths;
    PortableProfile profile;
    IniFile ini;
    Configuration config;
    NativeFileProbe probe;
    FakeDialogs dialogs;
    FileChecker files;
    FakePanel panel;
    FakePump pump;
    StatusLine status;
    FakeSerialPort port;
    LabelState state;
    SimulatedAutomation automation;
    HostLink host;
    HostCalls hostCalls;
    WorkList workList;
    FieldSelectionSettings settings;
    TriggerDisplay display;
    FieldSelectorState selectorState;
    FieldSelector selector;
    NoDesktop desktop;
    EditorLauncher editor;
    ProgramFileReader programs;
    LabelExport exporter;
    ListFileLoader lists;
    LineRoad road;
    LabelProcessor processor;
    ProgramImporter importer;
    DeflateLibrary compression;
    PayloadExpander expander;

    void importProgram(const std::string& scan) { importer.importProgramBarcode(scan); }
};

} // namespace lumetra::testing
