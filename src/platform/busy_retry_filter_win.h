// Riding out a busy COM server: while a cell is being edited or a dialog is
// open, Excel rejects automation calls (RPC_E_CALL_REJECTED,
// RPC_E_SERVERCALL_RETRYLATER) instead of queueing them.
#pragma once

#include <windows.h>
// The OLE headers need windows.h first.
#include <objbase.h>

#include <cstdint>

namespace tabulon {

// How long a rejected call is tried again before the server counts as busy.
constexpr uint32_t kBusyRetryMs = 5000;

bool IsBusyRejection(HRESULT hr);

// A message filter for this thread while it lives, put back to the one before
// on destruction. COM asks it what to do with a rejected call: it tries again
// every 100 ms for up to retryMs, then gives the call up, which counts in
// GiveUps(). While COM waits, the caller's windows keep painting (pending
// messages get the default handling).
class ScopedBusyRetryFilter {
public:
    explicit ScopedBusyRetryFilter(uint32_t retryMs = kBusyRetryMs);
    ~ScopedBusyRetryFilter();
    ScopedBusyRetryFilter(const ScopedBusyRetryFilter&) = delete;
    ScopedBusyRetryFilter& operator=(const ScopedBusyRetryFilter&) = delete;

    // How many calls COM gave up on this filter's word.
    long GiveUps() const;

private:
    class Filter;
    Filter* filter_ = nullptr;
    IMessageFilter* previous_ = nullptr;
    bool registered_ = false;
};

// Handles the thread's pending window messages, waiting up to ms for one: keeps
// the window responsive while a rejected call waits to be tried again.
void PumpMessagesFor(uint32_t ms);

}  // namespace tabulon
