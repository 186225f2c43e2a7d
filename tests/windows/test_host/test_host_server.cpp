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
    for (int i = 0; i < 4; ++i)
        CoRegisterClassObject(kClasses[i].classId, classFactory(kClasses[i].classId),
                              CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &g_cookies[i]);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    // Nothing is uninitialised: the server vanishes as a closed host does.
    ExitProcess(0);
}
