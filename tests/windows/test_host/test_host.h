// A small automation server for the tests: it answers the host's and the console's
// class names, checks the argument types the program must send, and journals every
// call in the host simulator's journal format. The same objects are served in process
// (lumetra_test_host.dll) and out of process (lumetra_test_host_server.exe).
#pragma once

#include <guiddef.h>
#include <string>
#include <unknwn.h>

namespace lumetra::testing::host {

struct TestClass {
    const wchar_t* progId;
    CLSID classId;
};

// The four classes: host application, work list, console application, console list.
extern const TestClass kClasses[4];

// Where the calls are journalled: a value of the registry that both the test and a
// server started by the system can read.
inline constexpr const wchar_t* kSettingsKey = L"Software\\Lumetra\\TestHost";
inline constexpr const wchar_t* kJournalValue = L"Journal";
// The out-of-process server answers "retry later" to every call for this many
// milliseconds after it started (a DWORD; 0 or none: never busy).
inline constexpr const wchar_t* kBusyValue = L"BusyMilliseconds";

// The class object of a class, or nullptr for a class that is not ours.
IUnknown* classFactory(const CLSID& classId);
// Objects and server locks alive in this process; at 0 the server may end.
long liveCount();
// Called when the count falls to 0 (the out-of-process server ends then).
void onLastRelease(void (*callback)());
// Called when an object is asked to Quit; in process nothing happens.
void onQuit(void (*callback)());

} // namespace lumetra::testing::host
