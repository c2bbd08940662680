// A request to stop long work, set by one thread and seen by another between
// items: work is never ended from outside.
#pragma once

#include <atomic>

class TDfxStopRequest final {
public:
    void Request() { FRequested.store(true, std::memory_order_relaxed); }
    void Reset() { FRequested.store(false, std::memory_order_relaxed); }
    bool Requested() const { return FRequested.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> FRequested{false};
};
