// The COM adapter against the test automation server, in process and out of process:
// the calls reach the server with the types the host expects and are journalled as the
// host simulator journals them; unknown classes and members, and a server that ends
// between calls, become the errors the program handles.
#include "common/errors.h"
#include "host/host_link.h"
#include "labels/work_list.h"
#include "platform/portable/portable_profile.h"
#include "platform/sim/simulated_automation.h"
#include "platform/win32/com_automation.h"
#include "platform/win32/windows_text.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "support/workspace.h"
#include "test_host/test_host.h"
#include "windows/module_folder.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <tuple>
#include <windows.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;

enum class Serving { InProcess, OutOfProcess };

std::wstring classIdText(const CLSID& classId) {
    wchar_t text[64] = {};
    StringFromGUID2(classId, text, 64);
    return text;
}

void setText(HKEY root, const std::wstring& key, const wchar_t* value, const std::wstring& text) {
    RegSetKeyValueW(root, key.c_str(), value, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Registers the four classes for one way of serving, and the journal both ways read.
void registerTestHost(Serving serving, const std::string& journal) {
    for (const auto& testClass : host::kClasses) {
        const std::wstring classId = classIdText(testClass.classId);
        const std::wstring classKey = L"CLSID\\" + classId;
        setText(HKEY_CLASSES_ROOT, std::wstring(testClass.progId) + L"\\CLSID", nullptr, classId);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, classKey.c_str());
        if (serving == Serving::InProcess) {
            setText(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", nullptr,
                    moduleFolder() + L"\\lumetra_test_host.dll");
            setText(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", L"ThreadingModel",
                    L"Apartment");
        } else {
            setText(HKEY_CLASSES_ROOT, classKey + L"\\LocalServer32", nullptr,
                    L"\"" + moduleFolder() + L"\\lumetra_test_host_server.exe\"");
        }
    }
    setText(HKEY_CURRENT_USER, host::kSettingsKey, host::kJournalValue, wideFromCodePage(journal));
}

// What the host receives while the program starts, fills a list and commands a device.
void driveHost(Automation& automation, bool consolePresent) {
    const HostSetup setup{consolePresent, false};
    HostLink link(automation, setup);
    link.createHostApplication();
    link.connectWorkList();
    link.clearWorkList();
    link.addLine("MPR;P1;800;600;19");
    link.addLine(codePageFromWide(L"Fr\u00e4sen \u20ac;\\;\x01"));
    link.startWorkList();
    link.stopWorkList();
    link.endWorkList();
    if (!consolePresent)
        link.setDeviceStatus("CMD");
    link.release();
}

// The journal without its time stamps.
std::vector<std::string> journalOf(const std::function<void(const std::string&)>& run) {
    TempDir dir;
    const std::string journal = dir.file("journal.txt");
    run(journal);
    return journalMembers(journal);
}

class ComHost : public ::testing::TestWithParam<Serving> {};

TEST_P(ComHost, CallsArriveAsTheHostSimulatorJournalsThem) {
    for (const bool consolePresent : {false, true}) {
        const auto simulated = journalOf([&](const std::string& journal) {
            SimulatedAutomation automation({journal, false, 0});
            driveHost(automation, consolePresent);
        });
        const auto served = journalOf([&](const std::string& journal) {
            registerTestHost(GetParam(), journal);
            ComAutomation automation;
            driveHost(automation, consolePresent);
        });
        ASSERT_FALSE(simulated.empty());
        EXPECT_EQ(served, simulated) << "console present: " << consolePresent;
    }
}

TEST_P(ComHost, AClassThatIsNotInstalledCannotBeCreated) {
    TempDir dir;
    registerTestHost(GetParam(), dir.file("journal.txt"));
    ComAutomation automation;
    for (const char* name : {"Nowhere.Application", "", "Pelitrax.Application.9"}) {
        try {
            automation.create(name);
            ADD_FAILURE() << name << " was created";
        } catch (const UnexpectedError& error) {
            EXPECT_EQ(error.number(), 429) << name;
            EXPECT_STREQ(error.what(), "ActiveX component can't create object") << name;
        }
    }
}

TEST_P(ComHost, AMemberTheObjectDoesNotKnowIs438) {
    TempDir dir;
    registerTestHost(GetParam(), dir.file("journal.txt"));
    ComAutomation automation;
    const auto application = automation.create("Pelitrax.Application");
    const auto list = automation.create("Velmora.ExeList");
    const std::vector<std::pair<AutomationObject*, std::string>> unknown = {
        {list.get(), "Launch"}, {application.get(), "AddLine"}, {list.get(), "SetDeviceStatus"}};
    for (const auto& [object, member] : unknown) {
        try {
            object->call(member, {std::string("X")});
            ADD_FAILURE() << member << " was called";
        } catch (const UnexpectedError& error) {
            EXPECT_EQ(error.number(), 438) << member;
            EXPECT_STREQ(error.what(), "Object doesn't support this property or method");
        }
    }
    EXPECT_THROW(application->set("Colour", true), UnexpectedError);
    // A wrong type or count is refused by the server and reported, never ignored.
    EXPECT_THROW(list->call("AddLine", {std::int32_t{5}}), UnexpectedError);
    EXPECT_THROW(list->call("AddLine", {}), UnexpectedError);
    EXPECT_TRUE(linesAdded(dir.file("journal.txt")).empty());
}

INSTANTIATE_TEST_SUITE_P(Serving, ComHost,
                         ::testing::Values(Serving::InProcess, Serving::OutOfProcess),
                         [](const auto& info) {
                             return info.param == Serving::InProcess ? "InProcess" : "OutOfProcess";
                         });

TEST(MessageFilter, ALaterCallIsRetriedForTenSecondsAndARejectionIsFinal) {
    const std::tuple<DWORD, DWORD, DWORD> cases[] = {
        {SERVERCALL_RETRYLATER, 0, 100},
        {SERVERCALL_RETRYLATER, 9999, 100},
        {SERVERCALL_RETRYLATER, 10000, static_cast<DWORD>(-1)},
        {SERVERCALL_REJECTED, 0, static_cast<DWORD>(-1)},
    };
    for (const auto& [reject, elapsed, delay] : cases)
        EXPECT_EQ(ComMessageFilter::retryDelay(reject, elapsed), delay) << reject << " " << elapsed;
    int told = 0;
    ComMessageFilter filter([&] { ++told; });
    EXPECT_EQ(filter.HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr),
              static_cast<DWORD>(SERVERCALL_ISHANDLED));
    EXPECT_EQ(filter.MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL),
              static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS))
        << "the window paints while a call waits";
    filter.callStarts();
    filter.RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER);
    filter.RetryRejectedCall(nullptr, 200, SERVERCALL_RETRYLATER);
    filter.RetryRejectedCall(nullptr, 10500, SERVERCALL_RETRYLATER);
    EXPECT_EQ(told, 1) << "once for a call that waits";
    filter.callStarts();
    filter.RetryRejectedCall(nullptr, 0, SERVERCALL_REJECTED);
    EXPECT_EQ(told, 1) << "a rejection is not waited for";
    filter.RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER);
    EXPECT_EQ(told, 2);
}

// Counts what COM asks the thread's filter, and passes every question on to it.
struct CountingFilter final : IMessageFilter {
    IMessageFilter* inner;
    int asked = 0;
    explicit CountingFilter(IMessageFilter* filter) : inner(filter) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return inner->QueryInterface(riid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD type, HTASK task, DWORD tick,
                                               LPINTERFACEINFO info) override {
        ++asked;
        return inner->HandleInComingCall(type, task, tick, info);
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK task, DWORD tick, DWORD type) override {
        ++asked;
        return inner->RetryRejectedCall(task, tick, type);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK task, DWORD tick, DWORD type) override {
        ++asked;
        return inner->MessagePending(task, tick, type);
    }
};

// The program's filter is the thread's, and COM asks it while a busy host keeps a call
// waiting (Windows asks it to retry; Wine, which runs the call anyway, asks it about the
// messages that arrive meanwhile). The call goes through once the host answers.
TEST(MessageFilter, IsRegisteredAndAskedWhileABusyHostKeepsACallWaiting) {
    TempDir dir;
    registerTestHost(Serving::OutOfProcess, dir.file("journal.txt"));
    const DWORD busy = 3000;
    RegSetKeyValueW(HKEY_CURRENT_USER, host::kSettingsKey, host::kBusyValue, REG_DWORD, &busy,
                    sizeof busy);
    int told = 0;
    {
        ComAutomation automation([&] { ++told; });
        IMessageFilter* registered = nullptr;
        ASSERT_EQ(CoRegisterMessageFilter(nullptr, &registered), S_OK);
        ASSERT_NE(dynamic_cast<ComMessageFilter*>(registered), nullptr) << "not the program's";
        CountingFilter counting(registered);
        CoRegisterMessageFilter(&counting, nullptr);
        PostThreadMessageW(GetCurrentThreadId(), WM_USER, 0, 0);
        const auto application = automation.create("Pelitrax.Application");
        PostThreadMessageW(GetCurrentThreadId(), WM_USER, 0, 0);
        application->set("Visible", true);
        EXPECT_GE(counting.asked, 1) << "the thread's filter was never asked";
        CoRegisterMessageFilter(registered, nullptr);
        registered->Release();
    }
    const DWORD idle = 0;
    RegSetKeyValueW(HKEY_CURRENT_USER, host::kSettingsKey, host::kBusyValue, REG_DWORD, &idle,
                    sizeof idle);
    EXPECT_EQ(journalMembers(dir.file("journal.txt")),
              std::vector<std::string>{"Pelitrax.Application#1\tVisible=\tTrue"});
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_REMOVE)) {
    }
}

// The host is closed while a list is being filled: the next line fails, the list object
// is created once more (the server is started anew) and the line arrives there.
TEST(ComHostOutOfProcess, AHostThatEndsBetweenLinesGetsTheNextLineInANewList) {
    TempDir dir;
    const std::string journal = dir.file("journal.txt");
    registerTestHost(Serving::OutOfProcess, journal);
    ComAutomation automation;
    PortableProfile profile(dir.str());
    IniFile ini(profile, dir.file("ORX.INI"));
    Configuration config;
    LabelState state;
    fillFieldCodeTable(state.fieldCodeTable);
    resetLabelData(state, HostSetup{});
    FakePanel panel;
    FakePump pump;
    OperatorLog log(dir.file("operator.log"));
    StatusLine status(panel, log, pump);
    HostLink host(automation, config.host);
    WorkList workList(state, host, ini, config, status, log);
    host.createHostApplication();
    host.connectWorkList();
    state.data.programName = "P1";
    workList.addWorkListLine();

    // Closed: the server's process ends at once, before or after it answers.
    const auto probe = automation.create("Pultano.Application");
    try {
        automation.create("Velmora.ExeList")->call("Quit", {});
    } catch (const UnexpectedError&) {
    }
    bool gone = false;
    for (int attempt = 0; attempt < 100 && !gone; ++attempt) {
        try {
            probe->set("Visible", false);
            Sleep(50);
        } catch (const UnexpectedError& error) {
            gone = true;
            EXPECT_NE(error.number(), 429);
            EXPECT_NE(error.number(), 438);
            EXPECT_EQ(std::string(error.what()).rfind("Automation error: ", 0), 0u) << error.what();
            EXPECT_EQ(error.failure(), CallFailure::ObjectGone) << error.what();
        }
    }
    ASSERT_TRUE(gone) << "the closed host kept answering";

    state.data.programName = "P2";
    workList.addWorkListLine();
    auto members = journalMembers(journal);
    ASSERT_GE(members.size(), 5u);
    EXPECT_EQ(members[1], "Velmora.ExeList#1\tAddLine\tP1;1; ;1; ; ; ; ; ; ; ; ; ; ; ; ; ; ; ;");
    members.erase(members.begin(), members.end() - 3);
    EXPECT_EQ(members, (std::vector<std::string>{
                           "Velmora.ExeList#1\tVisible=\tTrue",
                           "Velmora.ExeList#1\tClear",
                           "Velmora.ExeList#1\tAddLine\tP2;1; ;1; ; ; ; ; ; ; ; ; ; ; ; ; ; ; ;",
                       }))
        << "the new list lives in a new server process";
    EXPECT_TRUE(panel.statuses.empty()) << panel.status();
    EXPECT_NE(readFile(dir.file("operator.log")).find("the list object is created anew"),
              std::string::npos);
}

} // namespace
} // namespace lumetra
