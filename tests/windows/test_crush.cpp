// A stand-in for the compression library with its operations under their own names and
// calling convention, expanding raw DEFLATE, so that the loader and the payload
// expansion can be tested through a real library. It counts the calls it receives.
#include "platform/sim/deflate_codec.h"

#include <cstdlib>
#include <string>
#include <windows.h>

namespace {

lumetra::DeflateLibrary g_library;
long g_calls = 0;

// LUMETRA_TEST_CRUSH=fail makes the expansions fail, =hang makes them never return.
bool expansionFails() {
    const char* mode = std::getenv("LUMETRA_TEST_CRUSH");
    if (mode != nullptr && std::string(mode) == "hang")
        Sleep(INFINITE);
    return mode != nullptr && std::string(mode) == "fail";
}

} // namespace

extern "C" {

__declspec(dllexport) short WINAPI cxInit() {
    ++g_calls;
    g_library.init();
    return 0;
}
__declspec(dllexport) short WINAPI cxBuf2BufInit() {
    ++g_calls;
    g_library.bufferInit();
    return 0;
}
__declspec(dllexport) short WINAPI
    cxBuf2BufExpand(const char* input, char* output, short expandedLength, short compressedLength) {
    ++g_calls;
    if (expansionFails())
        return -1;
    return static_cast<short>(
        g_library.bufferExpand(input, output, expandedLength, compressedLength));
}
__declspec(dllexport) short WINAPI cxBuf2BufClose() {
    ++g_calls;
    g_library.bufferClose();
    return 0;
}
__declspec(dllexport) short WINAPI cxOpenFile(const char* path, short mode) {
    ++g_calls;
    return g_library.openFile(path, mode);
}
__declspec(dllexport) long WINAPI cxExpandFile(lumetra::ExpandFileRecord* record) {
    ++g_calls;
    if (expansionFails())
        return -1;
    return g_library.expandFile(*record);
}
__declspec(dllexport) short WINAPI cxCloseFile(short handle) {
    ++g_calls;
    g_library.closeFile(handle);
    return 0;
}
__declspec(dllexport) short WINAPI cxCleanup() {
    ++g_calls;
    g_library.cleanup();
    return 0;
}
// Not one of the library's: how many of its operations were called.
__declspec(dllexport) long WINAPI testCalls() {
    return g_calls;
}

} // extern "C"
