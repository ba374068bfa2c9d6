#include "engine/core/TimerScheduler.h"
#include <algorithm>
#include <cmath>
#include <limits>

namespace engine {

namespace {

// Whole milliseconds of a clock value, truncated towards zero. Values the
// conversion cannot represent (negative clocks from a negative time scale,
// NaN, overflow) are clamped instead of being undefined behaviour.
uint64_t wholeMs(double ms) {
    if (!(ms > 0.0)) return 0;
    constexpr double kLimit = 18446744073709549568.0;  // largest double below 2^64
    if (ms >= kLimit) return std::numeric_limits<uint64_t>::max();
    return static_cast<uint64_t>(ms);
}

}  // namespace

// ---- TimerListener -------------------------------------------------------

TimerListener::~TimerListener() {
    if (scheduler_) scheduler_->removeTimer(this);
}

void TimerListener::setTimerScheduler(TimerScheduler* scheduler) {
    if (scheduler == scheduler_) return;
    if (scheduler_ && scheduler) {
        // The old scheduler may hold the last reference: keep this timer alive
        // until it has joined the new one.
        CountedRef<TimerListener> keep = CountedRef<TimerListener>::share(this);
        scheduler_->removeTimer(this);
        scheduler->addTimer(this);
        return;
    }
    if (scheduler_) scheduler_->removeTimer(this);
    if (scheduler) scheduler->addTimer(this);
}

// ---- TimerScheduler ------------------------------------------------------

const EventMap<TimerScheduler>& TimerScheduler::getEventMap() {
    static const EventMap<TimerScheduler> map({
        {static_cast<uint32_t>(EventId::UpdateEvent),
         [](TimerScheduler& scheduler, Event* event) {
             return scheduler.onEvent13(dynamic_cast<UpdateEvent*>(event));
         }},
    });
    return map;
}

TimerScheduler::TimerScheduler() {
    setMask(EventCategory::System);
    active_.reserve(1024);
}

TimerScheduler::~TimerScheduler() { releaseEveryEntry(); }

void TimerScheduler::removeAllTimers() {
    if (updating_) {
        // The walk skips unregistered timers and keeps every entry's reference
        // until the update ends, so the timer being called cannot vanish.
        for (const Entry& entry : active_)
            if (entry.listener->scheduler_ == this) entry.listener->scheduler_ = nullptr;
        for (const Entry& entry : pendingAdditions_)
            if (entry.listener->scheduler_ == this) entry.listener->scheduler_ = nullptr;
        return;
    }
    // A released timer may hold the last other reference to this scheduler.
    addRef();
    releaseEveryEntry();
    updating_ = false;
    release();
}

void TimerScheduler::releaseEveryEntry() {
    // Releasing a timer may run code that adds or removes timers here; with the
    // updating flag set those only touch the pending arrays, which the loop
    // drains in turn.
    updating_ = true;
    pendingRemovals_.clear();
    while (!active_.empty() || !pendingAdditions_.empty()) {
        std::vector<Entry> entries;
        entries.swap(active_);
        entries.insert(entries.end(), pendingAdditions_.begin(), pendingAdditions_.end());
        pendingAdditions_.clear();
        for (const Entry& entry : entries) {
            // A timer that has since joined another scheduler stays there.
            if (entry.listener->scheduler_ == this) entry.listener->scheduler_ = nullptr;
            entry.listener->release();
        }
        pendingRemovals_.clear();
    }
}

bool TimerScheduler::onEvent13(UpdateEvent* event) {
    if (event) update(event->getElapsedMs());
    return false;
}

void TimerScheduler::addTimer(TimerListener* listener) {
    if (!listener) return;
    listener->scheduler_ = this;

    // Removed earlier in this update: its entry is still here and still holds
    // its reference, so it simply stays.
    auto removed = std::find(pendingRemovals_.begin(), pendingRemovals_.end(), listener);
    if (removed != pendingRemovals_.end()) {
        *removed = pendingRemovals_.back();
        pendingRemovals_.pop_back();
        return;
    }

    listener->addRef();
    const Entry entry{listener, wholeMs(clock_ + static_cast<double>(listener->period_))};
    if (updating_) {
        pendingAdditions_.push_back(entry);
    } else {
        active_.push_back(entry);
    }
}

void TimerScheduler::removeTimer(TimerListener* listener) {
    if (!listener) return;
    listener->scheduler_ = nullptr;
    if (updating_) {
        pendingRemovals_.push_back(listener);
        return;
    }
    for (size_t i = 0; i < active_.size(); ++i) {
        if (active_[i].listener != listener) continue;
        // Take the entry out before releasing: the release may destroy the
        // timer, and its destructor may come back here.
        active_[i] = active_.back();
        active_.pop_back();
        listener->release();
        return;
    }
}

void TimerScheduler::update(uint32_t elapsedMs) {
    // A timer's call may drop the last reference to this scheduler (a scene
    // closing itself releases the scheduler it owns); stay alive until done.
    addRef();

    // Only the outermost update reshapes the arrays, so a timer that somehow
    // updates its own scheduler cannot pull entries out from under the walk.
    const bool outermost = !updating_;
    updating_ = true;

    if (isEnabled()) {
        clock_ += static_cast<double>(timeScale_) * static_cast<double>(elapsedMs);
        walkDueTimers(wholeMs(std::floor(clock_ + 0.5)));
    }

    if (outermost) {
        discardFinishedTimers();
        active_.insert(active_.end(), pendingAdditions_.begin(), pendingAdditions_.end());
        pendingAdditions_.clear();
        updating_ = false;
    }

    release();
}

void TimerScheduler::walkDueTimers(uint64_t now) {
    // Additions and removals are deferred while updating, so the array keeps
    // its size and order during the walk, and every entry keeps its reference.
    for (size_t i = 0; i < active_.size(); ++i) {
        TimerListener* listener = active_[i].listener;
        // Removed, dropped, or moved to another scheduler.
        if (listener->scheduler_ != this) continue;
        while (now >= active_[i].nextFiringTime) {
            const uint32_t period = listener->period_;
            if (!listener->onTimer(period)) {
                if (listener->scheduler_ == this) listener->scheduler_ = nullptr;
                break;
            }
            // A timer that removed itself (or moved elsewhere) during its call
            // gets no further catch-up calls here.
            if (listener->scheduler_ != this) break;
            const uint32_t nextPeriod = listener->period_;
            active_[i].nextFiringTime += nextPeriod;
            // A zero period never moves the firing time past now: one call per update.
            if (period == 0 || nextPeriod == 0) break;
        }
    }
}

void TimerScheduler::discardFinishedTimers() {
    for (size_t i = 0; i < active_.size();) {
        TimerListener* listener = active_[i].listener;
        const bool registered = listener->scheduler_ == this;
        if (registered && listener->getRefCount() != 1) {
            ++i;
            continue;
        }
        if (registered) {
            // Nobody else holds it: it leaves before its last reference goes,
            // so its destructor has nothing to remove.
            listener->scheduler_ = nullptr;
        } else {
            // Its removal is carried out now; a record left behind would make
            // a later add of the same address look like a re-add.
            forgetPendingRemoval(listener);
        }
        active_[i] = active_.back();
        active_.pop_back();
        listener->release();
    }
    pendingRemovals_.clear();
    pendingRemovals_.shrink_to_fit();
}

void TimerScheduler::forgetPendingRemoval(TimerListener* listener) {
    auto found = std::find(pendingRemovals_.begin(), pendingRemovals_.end(), listener);
    if (found == pendingRemovals_.end()) return;
    *found = pendingRemovals_.back();
    pendingRemovals_.pop_back();
}

}  // namespace engine
