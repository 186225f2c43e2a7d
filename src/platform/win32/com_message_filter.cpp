#include "platform/win32/com_message_filter.h"

#include <utility>

namespace lumetra {

DWORD ComMessageFilter::retryDelay(DWORD rejectType, DWORD elapsed) {
    if (rejectType == SERVERCALL_RETRYLATER && elapsed < kRetryForMilliseconds)
        return kRetryAfterMilliseconds;
    return static_cast<DWORD>(-1);
}

ComMessageFilter::ComMessageFilter(std::function<void()> onBusy) : m_onBusy(std::move(onBusy)) {}

HRESULT STDMETHODCALLTYPE ComMessageFilter::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
        *object = static_cast<IMessageFilter*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE ComMessageFilter::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG STDMETHODCALLTYPE ComMessageFilter::Release() {
    const LONG references = InterlockedDecrement(&m_references);
    if (references == 0)
        delete this;
    return static_cast<ULONG>(references);
}

// This program serves no objects of its own; calls that reach it are taken.
DWORD STDMETHODCALLTYPE ComMessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
    return SERVERCALL_ISHANDLED;
}

DWORD STDMETHODCALLTYPE ComMessageFilter::RetryRejectedCall(HTASK, DWORD tickCount,
                                                            DWORD rejectType) {
    const DWORD delay = retryDelay(rejectType, tickCount);
    if (delay != static_cast<DWORD>(-1) && !std::exchange(m_reported, true) && m_onBusy)
        m_onBusy();
    return delay;
}

// While a call waits, the window paints; input waits for the call to end.
DWORD STDMETHODCALLTYPE ComMessageFilter::MessagePending(HTASK, DWORD, DWORD) {
    return PENDINGMSG_WAITDEFPROCESS;
}

} // namespace lumetra
