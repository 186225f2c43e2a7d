// The test automation server in process.
#include "test_host.h"

#include <windows.h>

using namespace lumetra::testing::host;

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID classId, REFIID id, void** object) {
    IUnknown* factory = classFactory(classId);
    if (factory == nullptr) {
        *object = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory->QueryInterface(id, object);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return liveCount() == 0 ? S_OK : S_FALSE;
}
