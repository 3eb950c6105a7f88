// Work that must run however a scope is left: by its end, a return or an
// exception. Portable, so the application logic uses it as the platform does.
#pragma once

#include <utility>

namespace tabulon {

template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F work) : work_(std::move(work)) {}
    ~ScopeExit() { Run(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

    // Runs the work now rather than at the end of the scope; it runs only once.
    void Run() {
        if (armed_) {
            armed_ = false;
            work_();
        }
    }
    // The work will not run.
    void Dismiss() { armed_ = false; }

private:
    F work_;
    bool armed_ = true;
};

}  // namespace tabulon
