#pragma once
#include "engine/core/RefCounted.h"
#include <cstdint>

namespace engine {

class TimerScheduler;

// An object driven by a TimerScheduler. While registered it is called with its
// period every time that period of scheduler time has passed. The period is
// read when the timer is added, before and after every call, so a timer may
// change it from inside onTimer and is re-armed with the new value at once.
//
// The scheduler field names the one scheduler the timer is registered with;
// only the scheduler writes it, and null means not registered (or dropped).
class TimerListener : public virtual RefCounted {
public:
    static constexpr uint32_t kDefaultPeriod = 30;

    TimerListener() = default;
    // A copy has the original's period but is registered nowhere.
    TimerListener(const TimerListener& other) : RefCounted(other), period_(other.period_) {}
    TimerListener& operator=(const TimerListener& other) {
        period_ = other.period_;
        return *this;
    }
    // Leaves the scheduler it is still registered with.
    ~TimerListener() override;

    // Called with the period in milliseconds; true keeps the timer, false drops it.
    virtual bool onTimer(uint32_t periodMs) = 0;

    uint32_t getPeriod() const { return period_; }
    void setPeriod(uint32_t periodMs) { period_ = periodMs; }

    TimerScheduler* getTimerScheduler() const { return scheduler_; }
    // Moves the timer: removes it from its current scheduler (if any) and adds
    // it to the given one (if not null). Nothing happens for the current one,
    // so its next firing time is kept.
    void setTimerScheduler(TimerScheduler* scheduler);

private:
    friend class TimerScheduler;

    uint32_t period_ = kDefaultPeriod;
    TimerScheduler* scheduler_ = nullptr;
};

}  // namespace engine
