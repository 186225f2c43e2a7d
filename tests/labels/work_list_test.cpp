#include "common/errors.h"
#include "labels/work_list.h"
#include "platform/portable/portable_profile.h"
#include "platform/sim/simulated_automation.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "support/workspace.h"

#include <gtest/gtest.h>
#include <sstream>

namespace lumetra {
namespace {

using namespace lumetra::testing;

LabelState labelState(bool consolePresent) {
    LabelState state;
    fillFieldCodeTable(state.fieldCodeTable);
    resetLabelData(state, HostSetup{consolePresent, false});
    return state;
}

TEST(TaggedLine, CarriesTheFieldPositionAndParity) {
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"N", "1", "0"},  {"M", "2", "1"},  {"A", "4", "1"}, {"R/1", "36", "1"},
        {"&", "37", "0"}, {" ", "37", "0"}, {"", "37", "0"}, {"S1", "9", "0"},
    };
    for (const auto& [code, position, parity] : cases) {
        LabelState state = labelState(true);
        state.data.fieldCode = code;
        const std::string line = buildTaggedLine(state.data, state.fieldCodeTable);
        EXPECT_NE(line.find(";#171=" + position + ";#284=" + parity + ";"), std::string::npos)
            << code << ": " << line;
    }
}

TEST(TaggedLine, MatchesTheDocumentedExampleAndBlanksZeroDimensions) {
    LabelState state = labelState(true);
    state.data.programName = "P100.CNC";
    state.data.fieldCode = "A";
    state.data.dimX = "600";
    state.data.dimY = "400";
    state.data.dimZ = "18";
    state.data.comment = "DOOR";
    state.data.exclusions = "13";
    EXPECT_EQ(
        buildTaggedLine(state.data, state.fieldCodeTable),
        "#161=P100.CNC;#164=1;#171=4;#284=1;#280=;#165=1;#168=600;#169=400;#170=18;#282=;#283=;");
    state.data.dimX = " ";
    state.data.dimY = "0";
    state.data.dimZ = "abc";
    const LabelData before = state.data;
    EXPECT_NE(buildTaggedLine(state.data, state.fieldCodeTable).find(";#168= ;#169=0;"),
              std::string::npos)
        << "the builder sends the record as it is";
    EXPECT_EQ(state.data.dimX, before.dimX) << "and leaves it as it was";
    blankZeroDimensions(state.data);
    EXPECT_EQ(buildTaggedLine(state.data, state.fieldCodeTable),
              "#161=P100.CNC;#164=1;#171=4;#284=1;#280=;#165=1;#168=;#169=;#170=;#282=;#283=;");
    EXPECT_EQ(state.data.dimX, "");
    EXPECT_EQ(state.data.dimY, "");
    EXPECT_EQ(state.data.dimZ, "");
}

TEST(ColumnLine, WidensSeparatorsAndFillsExclusions) {
    struct Case {
        std::string newListCol;
        std::string exclusions;
        std::string setting;
        std::string expected;
    };
    const std::string plain = "P;1;N;1;600;400;18;C;;13;;a;b;c;d;e;f;g;i;";
    const Case cases[] = {
        {"", "13", "", plain},
        {"AS", "13", "", "P; ;1;N;1;600;400;18;C;;13;;a;b;c;d;e;f;g;i; ;"},
        {"  as ", "13", "", "P; ;1;N;1;600;400;18;C;;13;;a;b;c;d;e;f;g;i; ;"},
        {"CC", "13", "", "P;1;N; ; ;1;600;400;18;C;;13;;a;b;c;d;e;f;g;i;"},
        {"T@z9", "13", "", plain},
        {"", "", "10100000", plain},
        {"", " ", "10100000", plain},
        {"", "", "00000000", "P;1;N;1;600;400;18;C;;;;a;b;c;d;e;f;g;i;"},
        {"", "5", "10100000", "P;1;N;1;600;400;18;C;;5;;a;b;c;d;e;f;g;i;"},
    };
    for (const Case& c : cases) {
        LabelData data{"P", "1", "N", "1", "600", "400", "18", "C", "", c.exclusions,
                       "",  "a", "b", "c", "d",   "e",   "f",  "g", "i"};
        insertExclusions(data, c.setting);
        EXPECT_EQ(buildColumnLine(data, c.newListCol), c.expected)
            << c.newListCol << " / " << c.setting;
    }
}

class AddLine : public ::testing::Test {
protected:
    AddLine()
        : automation({dir.file("journal.tsv"), false, 0}), profile(dir.str()),
          ini(profile, dir.file("ORX.INI")), status(panel, log, pump),
          host(automation, config.host), workList(state, host, ini, config, status, log) {}

    std::vector<std::string> journal() { return journalMembers(dir.file("journal.tsv")); }

    TempDir dir;
    SimulatedAutomation automation;
    PortableProfile profile;
    IniFile ini;
    Configuration config;
    LabelState state = labelState(false);
    FakePanel panel;
    FakePump pump;
    OperatorLog log;
    StatusLine status;
    HostLink host;
    WorkList workList;
};

TEST_F(AddLine, ReadsNewListColAtEveryBuild) {
    host.createHostApplication();
    host.connectWorkList();
    state.data.programName = "P1";
    workList.addWorkListLine();
    profile.writeString(ini.path(), "VELMORA", "NewListCol", std::string_view("a"));
    workList.addWorkListLine();
    ASSERT_EQ(automation.state().lines.size(), 2u);
    EXPECT_EQ(automation.state().lines[0], "P1;1; ;1; ; ; ; ; ; ; ; ; ; ; ; ; ; ; ;");
    EXPECT_EQ(automation.state().lines[1], "P1; ;1; ;1; ; ; ; ; ; ; ; ; ; ; ; ; ; ; ;");
}

TEST_F(AddLine, ADroppedListIsCreatedAnewShownClearedAndTheLineRetried) {
    host.createHostApplication();
    host.connectWorkList();
    state.data.programName = "P1";
    workList.addWorkListLine();
    automation.dropCurrentList();
    state.data.programName = "P2";
    workList.addWorkListLine();
    const std::vector<std::string> expected = {
        "Pelitrax.Application#1\tVisible=\tTrue",
        "Velmora.ExeList#1\tAddLine\tP1;1; ;1; ; ; ; ; ; ; ; ; ; ; ; ; ; ; ;",
        "Velmora.ExeList#2\tVisible=\tTrue",
        "Velmora.ExeList#2\tClear",
        "Velmora.ExeList#2\tAddLine\tP2;1; ;1; ; ; ; ; ; ; ; ; ; ; ; ; ; ; ;",
    };
    EXPECT_EQ(journal(), expected);
    EXPECT_EQ(automation.state().lines,
              std::vector<std::string>{expected.back().substr(expected.back().rfind('\t') + 1)});
}

TEST_F(AddLine, AFailedRetryIsReportedOnceAndTheProgramGoesOn) {
    SimulatedAutomation absent({dir.file("absent.tsv"), true, 0});
    HostLink unreachable(absent, config.host);
    WorkList list(state, unreachable, ini, config, status, log);
    list.addWorkListLine();
    EXPECT_EQ(panel.status(), "Host work list unavailable: ActiveX component can't create object");
    EXPECT_EQ(panel.statuses.size(), 1u);
}

TEST_F(AddLine, TheConsoleVariantSendsTaggedLinesToTheConsolesList) {
    config.host.consolePresent = true;
    state = labelState(true);
    host.createHostApplication();
    host.connectWorkList();
    state.data.programName = "P9";
    workList.addWorkListLine();
    host.clearWorkList();
    host.startWorkList();
    host.stopWorkList();
    host.endWorkList();
    host.setDeviceStatus("KESTRAVIL.MAIN.CmdSetP");
    const std::vector<std::string> expected = {
        "Pultano.Application#1\tVisible=\tTrue",
        "Pultano.ExeList#1\tAddLine\t#161=P9;#164=1;#171=1;#284=0;#280=;#165=1;#168=;#169=;#170=;#"
        "282=;#283=;",
        "Pultano.ExeList#1\tClearList",
        "Pultano.ExeList#1\tStartList",
        "Pultano.ExeList#1\tStopList",
        "Pultano.ExeList#1\tEndList",
        "Pelitrax.Application#1\tSetDeviceStatus\tKESTRAVIL.MAIN.CmdSetP\t1",
    };
    EXPECT_EQ(journal(), expected);
}

TEST_F(AddLine, WithoutTheConsoleTheShortNamesAreUsed) {
    host.createHostApplication();
    host.connectWorkList();
    host.showWorkList();
    host.clearWorkList();
    host.startWorkList();
    host.stopWorkList();
    host.endWorkList();
    const std::vector<std::string> expected = {
        "Pelitrax.Application#1\tVisible=\tTrue",
        "Velmora.ExeList#1\tVisible=\tTrue",
        "Velmora.ExeList#1\tClear",
        "Velmora.ExeList#1\tStart",
        "Velmora.ExeList#1\tStop",
        "Velmora.ExeList#1\tEnd",
    };
    EXPECT_EQ(journal(), expected);
    EXPECT_FALSE(automation.state().running);
}

TEST_F(AddLine, CallsWithoutObjectsRaiseInsteadOfCrashing) {
    EXPECT_THROW(host.clearWorkList(), UnexpectedError);
    EXPECT_THROW(host.setDeviceStatus("x"), UnexpectedError);
    EXPECT_THROW(host.connectWorkList(), UnexpectedError);
}

// An automation whose work list fails its first AddLine as a host does: busy or rejected
// (the list object is alive), or gone (its server ended). Every call is recorded, the
// failed ones too.
struct FailingHost : Automation {
    CallFailure failure = CallFailure::Other;
    bool failed = false;
    std::vector<std::string> calls;
    int listsCreated = 0;
    struct Object : AutomationObject {
        FailingHost& host;
        std::string name;
        Object(FailingHost& owner, std::string className)
            : host(owner), name(std::move(className)) {}
        void call(std::string_view member, const std::vector<Variant>&) override {
            host.calls.push_back(name + "." + std::string(member));
            if (member == "AddLine" && !std::exchange(host.failed, true))
                throw UnexpectedError(-2147418111, "Automation error: AddLine", host.failure);
        }
        void set(std::string_view property, const Variant&) override {
            host.calls.push_back(name + "." + std::string(property) + "=");
        }
    };
    std::shared_ptr<AutomationObject> create(std::string_view className) override {
        if (className == host_class::kWorkList)
            ++listsCreated;
        return std::make_shared<Object>(*this, std::string(className) + "#" +
                                                   std::to_string(listsCreated));
    }
};

TEST_F(AddLine, OnlyAListObjectThatIsGoneIsCreatedAnew) {
    struct Case {
        CallFailure failure;
        std::vector<std::string> calls;
        int listsCreated;
    };
    const Case cases[] = {
        {CallFailure::Rejected, {"Velmora.ExeList#1.AddLine"}, 1},
        {CallFailure::Other, {"Velmora.ExeList#1.AddLine"}, 1},
        {CallFailure::ObjectGone,
         {"Velmora.ExeList#1.AddLine", "Velmora.ExeList#2.Visible=", "Velmora.ExeList#2.Clear",
          "Velmora.ExeList#2.AddLine"},
         2},
    };
    for (const Case& c : cases) {
        FailingHost automation;
        automation.failure = c.failure;
        HostLink link(automation, config.host);
        link.createHostApplication();
        link.connectWorkList();
        automation.calls.clear();
        WorkList list(state, link, ini, config, status, log);
        panel.statuses.clear();
        list.addWorkListLine();
        EXPECT_EQ(automation.calls, c.calls) << "a busy host's list is never cleared";
        EXPECT_EQ(automation.listsCreated, c.listsCreated);
        EXPECT_EQ(panel.statuses.empty(), c.failure == CallFailure::ObjectGone);
        if (c.failure != CallFailure::ObjectGone) {
            EXPECT_EQ(panel.status(), "Host work list unavailable: Automation error: AddLine");
        }
    }
}

} // namespace
} // namespace lumetra
