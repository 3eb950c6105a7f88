#include "platform/busy_retry_filter_win.h"

#include <atomic>

#include "platform/com_resource.h"

namespace tabulon {

bool IsBusyRejection(HRESULT hr) {
    return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER;
}

class ScopedBusyRetryFilter::Filter final : public ComObject<IMessageFilter, IID_IMessageFilter> {
public:
    explicit Filter(uint32_t retryMs) : retryMs_(retryMs) {}

    // This program serves no calls of its own: whatever comes in is handled.
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }

    // tickCount: the milliseconds since the call was first rejected. A return
    // of 100 or more tries again after that many ms; -1 gives up.
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD tickCount, DWORD rejectType) override {
        if ((rejectType == SERVERCALL_RETRYLATER || rejectType == SERVERCALL_REJECTED) && tickCount < retryMs_) {
            return 100;
        }
        ++giveUps_;
        return static_cast<DWORD>(-1);
    }

    // Paints and activation go on while a call waits; input waits for the call.
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

    long GiveUps() const { return giveUps_; }

private:
    uint32_t retryMs_;
    std::atomic<long> giveUps_{0};
};

ScopedBusyRetryFilter::ScopedBusyRetryFilter(uint32_t retryMs) : filter_(new Filter(retryMs)) {
    // Fails outside a single-threaded apartment, where calls are not rejected
    // this way; the callers' own retries still apply.
    registered_ = SUCCEEDED(CoRegisterMessageFilter(filter_, &previous_));
}

ScopedBusyRetryFilter::~ScopedBusyRetryFilter() {
    if (registered_) {
        IMessageFilter* ours = nullptr;
        CoRegisterMessageFilter(previous_, &ours);
        if (ours) ours->Release();
    }
    if (previous_) previous_->Release();
    filter_->Release();
}

long ScopedBusyRetryFilter::GiveUps() const {
    return filter_->GiveUps();
}

void PumpMessagesFor(uint32_t ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the main loop
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace tabulon
