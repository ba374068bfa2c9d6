#pragma once
#include "engine/core/Event.h"
#include "engine/core/EventMap.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/TimerListener.h"
#include <cstdint>
#include <vector>

namespace engine {

// What a timer owner needs of a scheduler.
class ITimerScheduler {
public:
    virtual ~ITimerScheduler() = default;

    virtual void addTimer(TimerListener* listener) = 0;
    virtual void removeTimer(TimerListener* listener) = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setTimeScale(float scale) = 0;
    virtual float getTimeScale() const = 0;
};

// Turns update events into periodic calls of its timers. Its clock advances by
// the elapsed milliseconds of each update times the time scale; every timer
// whose next firing time has been reached is called once per whole period that
// has passed (catch-up), each making all of its calls before the next timer.
//
// Timers are called in the order they were added, except that a removal moves
// the last timer into the freed place. While an update runs, additions and
// removals are deferred: added timers join after every other timer and are not
// called until the next update; removed ones are not called again and are
// released at the end of the update. A timer only the scheduler still holds is
// released (and so destroyed) at the end of the next update.
//
// The scheduler takes system events (category 2) and answers update events
// with false, so every other receiver of the same order sees them too.
class TimerScheduler : public EventReceiver, public ITimerScheduler {
    ENGINE_DECLARE_EVENT_MAP(TimerScheduler)

public:
    TimerScheduler();
    ~TimerScheduler() override;
    TimerScheduler(const TimerScheduler&) = delete;
    TimerScheduler& operator=(const TimerScheduler&) = delete;

    // Registers the timer (one counted reference) with its first firing time one
    // period from now. A null listener is ignored. A timer removed earlier in the
    // same update gets its old place and firing time back. Adding a registered
    // timer again gives it a second entry.
    void addTimer(TimerListener* listener) override;
    // Unregisters the timer: at once, or at the end of the running update.
    void removeTimer(TimerListener* listener) override;
    // Unregisters every timer as removeTimer does: released at once, or, during
    // an update, no longer called and released by the usual clean-up. A timer
    // that holds whoever holds this scheduler (a scene registered on its own
    // scene scheduler) lets go of it this way.
    void removeAllTimers();

    // A disabled scheduler neither advances its clock nor calls its timers, but
    // still discards dropped timers and merges new ones.
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const override { return enabled_; }
    void setTimeScale(float scale) override { timeScale_ = scale; }
    float getTimeScale() const override { return timeScale_; }

    virtual void update(uint32_t elapsedMs);
    virtual bool onEvent13(UpdateEvent* event);

private:
    struct Entry {
        TimerListener* listener;  // holds one counted reference
        uint64_t nextFiringTime;  // whole milliseconds on the clock
    };

    void walkDueTimers(uint64_t now);
    void discardFinishedTimers();
    void forgetPendingRemoval(TimerListener* listener);
    void releaseEveryEntry();

    bool enabled_ = true;
    float timeScale_ = 1.0f;
    bool updating_ = false;
    std::vector<Entry> active_;
    std::vector<Entry> pendingAdditions_;
    std::vector<TimerListener*> pendingRemovals_;
    // Milliseconds. Double precision keeps 10 ms steps exact for far longer
    // than any session; a float would drop part of every step after about
    // 18 hours and stop advancing after about 3 days.
    double clock_ = 0.0;
};

}  // namespace engine
