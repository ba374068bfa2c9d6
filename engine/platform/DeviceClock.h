#pragma once
// Time for the engine device: a monotonic millisecond clock with a sleep (the
// system's, or a test's stand-in), and the device timer over it, whose time
// advances only when it is ticked and not while it is stopped.
#include "engine/core/RefCounted.h"
#include <cstdint>

namespace engine {

class DeviceClock : public virtual RefCounted {
public:
    // Milliseconds from an arbitrary start; never goes back (wraps at 2^32).
    virtual uint32_t getRealTime() = 0;
    virtual void sleep(uint32_t milliseconds) = 0;
};

// The steady clock of the system and nanosleep.
class SystemDeviceClock : public DeviceClock {
public:
    SystemDeviceClock();
    uint32_t getRealTime() override;
    void sleep(uint32_t milliseconds) override;

private:
    int64_t startNs_;
};

// A virtual timer: its time moves on by the real time that passed between two
// ticks while it runs. Time between the last tick and a stop, and all the time
// while it is stopped, is never counted.
class DeviceTimer : public virtual RefCounted {
public:
    // Takes a reference to the clock; starts running at time 0.
    explicit DeviceTimer(DeviceClock* clock);
    ~DeviceTimer() override;

    DeviceTimer(const DeviceTimer&) = delete;
    DeviceTimer& operator=(const DeviceTimer&) = delete;

    // The time as of the last tick, in milliseconds.
    uint32_t getTime() const { return time_; }
    void setTime(uint32_t time) { time_ = time; }
    // Advances the time by the real time since the previous tick (or start).
    void tick();
    void stop();
    void start();
    bool isStopped() const { return stopped_; }

    uint32_t getRealTime() const;
    DeviceClock* getClock() const { return clock_.get(); }

private:
    CountedRef<DeviceClock> clock_;
    uint32_t time_ = 0;
    uint32_t lastRealTime_ = 0;
    bool stopped_ = false;
};

}  // namespace engine
