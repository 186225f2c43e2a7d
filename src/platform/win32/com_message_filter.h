// The user-interface thread's COM message filter. A host that is busy for a moment (a
// modal dialog open, a long operation) answers "retry later"; without a filter COM fails
// the call at once, and a failed AddLine would cost the operator the work list. The call
// is retried for a bounded time, with the window painting meanwhile, then given up.
#pragma once

#include <functional>
#include <objidl.h>

namespace lumetra {

class ComMessageFilter final : public IMessageFilter {
public:
    static constexpr DWORD kRetryForMilliseconds = 10000;
    static constexpr DWORD kRetryAfterMilliseconds = 100;

    // The policy: how many milliseconds to wait before retrying a call the server
    // answered with `rejectType` after `elapsed` milliseconds, or (DWORD)-1 to give it up.
    // A server that asks to retry later is retried for ten seconds; a rejection is final.
    static DWORD retryDelay(DWORD rejectType, DWORD elapsed);

    // `onBusy` runs once for each call the host keeps waiting.
    explicit ComMessageFilter(std::function<void()> onBusy);

    // Before each outgoing call: it has not been reported busy yet.
    void callStarts() { m_reported = false; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                               LPINTERFACEINFO interfaceInfo) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount,
                                              DWORD rejectType) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount,
                                           DWORD pendingType) override;

private:
    std::function<void()> m_onBusy;
    bool m_reported = false;
    LONG m_references = 1;
};

} // namespace lumetra
