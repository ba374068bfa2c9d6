#pragma once
// A function or an overridden run() on a thread of its own, waited for when
// the object is destroyed. The lock and the stop flag are for the loop the
// subclass runs and for its owner.
//
// start() and join() belong to the owning thread. A subclass whose run() uses
// its own members joins in its own destructor: by the time ~Thread joins, the
// subclass part is gone.
#include "engine/core/Mutex.h"
#include "engine/core/RefCounted.h"
#include <atomic>
#include <cstdint>
#include <thread>

namespace engine {

class Thread : public virtual RefCounted {
public:
    typedef int32_t (*StartFunction)(void* argument);

    Thread();
    // Runs the function with the argument (the default run()).
    Thread(StartFunction function, void* argument);
    ~Thread() override;

    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // False when the thread was started and not joined yet; false and "Failed
    // to create thread." when the system cannot make one. Clears the stop flag
    // before the thread runs.
    bool start();
    // Calls the start function with its argument; 0 without one.
    virtual int32_t run();
    // Waits for the thread when there is one; it can be started again after.
    void join();
    bool isStarted() const { return thread_.joinable(); }

    Mutex& getLock() { return *lock_; }
    void requestStop() { stopRequested_ = true; }
    bool isStopRequested() const { return stopRequested_; }

private:
    std::thread thread_;
    StartFunction function_ = nullptr;
    void* argument_ = nullptr;
    CountedRef<Mutex> lock_;
    std::atomic<bool> stopRequested_{false};
};

// Suspends the calling thread for at least the time given.
void sleepMs(uint32_t milliseconds);

}  // namespace engine
