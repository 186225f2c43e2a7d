// The test automation server out of process: started by the system with -Embedding,
// it serves the four classes until the last object is released, or ends at once when
// an object is asked to Quit (as a host that is closed or crashes).
#include "test_host.h"

#include <objbase.h>
#include <windows.h>

using namespace lumetra::testing::host;

namespace {

DWORD g_mainThread = 0;
DWORD g_cookies[4] = {};

// A host that is busy for a moment after it started: every incoming call takes a while
// and is answered "retry later" until then.
class BusyFilter final : public IMessageFilter {
public:
    explicit BusyFilter(DWORD milliseconds) : m_until(GetTickCount() + milliseconds) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
            *object = static_cast<IMessageFilter*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        if (static_cast<LONG>(GetTickCount() - m_until) >= 0)
            return SERVERCALL_ISHANDLED;
        Sleep(300);
        return SERVERCALL_RETRYLATER;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override {
        return static_cast<DWORD>(-1);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        return PENDINGMSG_WAITDEFPROCESS;
    }

private:
    DWORD m_until;
};

// No new object is handed out once the end is decided: the next creation starts a new
// server.
void end() {
    for (const DWORD cookie : g_cookies)
        CoRevokeClassObject(cookie);
    PostThreadMessageW(g_mainThread, WM_QUIT, 0, 0);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    g_mainThread = GetCurrentThreadId();
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    onLastRelease(end);
    onQuit(end);
    DWORD busy = 0;
    DWORD size = sizeof busy;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kBusyValue, RRF_RT_REG_DWORD, nullptr, &busy,
                     &size) == ERROR_SUCCESS &&
        busy > 0) {
        static BusyFilter filter(busy);
        CoRegisterMessageFilter(&filter, nullptr);
    }
    for (int i = 0; i < 4; ++i)
        CoRegisterClassObject(kClasses[i].classId, classFactory(kClasses[i].classId),
                              CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &g_cookies[i]);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    // Nothing is uninitialised: the server vanishes as a closed host does.
    ExitProcess(0);
}
