#include "engine/core/Event.h"
#include "engine/core/EventIds.h"
#include "engine/core/RefCounted.h"
#include "engine/core/TimerListener.h"
#include "engine/core/TimerScheduler.h"

#include <gtest/gtest.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using namespace engine;

namespace {

// A timer that writes its name into a shared journal at every call, remembers
// the periods it was called with, and runs an optional action inside the call
// (whose result is the call's result).
struct Probe : TimerListener {
    Probe(std::vector<std::string>* journal, std::string name, uint32_t period)
        : journal(journal), name(std::move(name)) {
        setPeriod(period);
    }
    ~Probe() override {
        if (deaths) deaths->push_back(name);
    }

    bool onTimer(uint32_t periodMs) override {
        journal->push_back(name);
        periods.push_back(periodMs);
        bool keep = true;
        if (action) keep = action(*this);
        // Touches the object after the action, so a timer freed during its own
        // call shows up under the sanitizers.
        ++calls;
        return keep;
    }

    std::vector<std::string>* journal;
    std::string name;
    std::vector<uint32_t> periods;
    int calls = 0;
    std::function<bool(Probe&)> action;
    std::vector<std::string>* deaths = nullptr;
};

// A scheduler that notes its own destruction.
struct TrackedScheduler : TimerScheduler {
    explicit TrackedScheduler(std::vector<std::string>* deaths) : deaths(deaths) {}
    ~TrackedScheduler() override { deaths->push_back("scheduler"); }
    std::vector<std::string>* deaths;
};

// Delivers one update event through the receiver interface, as the device does.
void sendUpdate(TimerScheduler& scheduler, uint32_t elapsedMs) {
    CountedRef<UpdateEvent> event(new UpdateEvent(elapsedMs));
    EXPECT_FALSE(scheduler.handleEvent(event.get())) << "update events stay unhandled";
}

using Names = std::vector<std::string>;

class TimerSchedulerTest : public ::testing::Test {
protected:
    // Makes a timer held by the test and registered with the scheduler.
    Probe* addProbe(const std::string& name, uint32_t period, TimerScheduler* to = nullptr) {
        probes.push_back(makeRef<Probe>(&journal, name, period));
        Probe* probe = probes.back().get();
        probe->deaths = &deaths;
        (to ? to : scheduler.get())->addTimer(probe);
        return probe;
    }
    // Makes a timer that only the scheduler holds.
    Probe* addOrphan(const std::string& name, uint32_t period) {
        auto* probe = new Probe(&journal, name, period);
        probe->deaths = &deaths;
        scheduler->addTimer(probe);
        probe->release();
        return probe;
    }
    // Drops the test's own reference to a timer.
    void dropProbe(Probe* probe) {
        for (auto& held : probes) {
            if (held.get() == probe) held.reset();
        }
    }
    Names takeJournal() {
        Names taken;
        taken.swap(journal);
        return taken;
    }

    // Declared first so that they outlive everything that writes into them.
    Names journal;
    Names deaths;
    CountedRef<TimerScheduler> scheduler = makeRef<TimerScheduler>();
    std::vector<CountedRef<Probe>> probes;
};

// ---- The clock and catch-up ----------------------------------------------

struct CatchUpCase {
    const char* name;
    float timeScale;
    uint32_t period;
    std::vector<uint32_t> updates;
    std::vector<int> callsPerUpdate;
};

TEST_F(TimerSchedulerTest, CallsEachDueTimerOncePerWholePeriod) {
    const std::vector<CatchUpCase> cases = {
        {"due at equality", 1.0f, 10, {9, 1}, {0, 1}},
        {"catch-up of three calls", 1.0f, 10, {35, 4, 1}, {3, 0, 1}},
        {"period zero once per update", 1.0f, 0, {0, 1, 500}, {1, 1, 1}},
        {"half time scale", 0.5f, 10, {10, 10, 10, 10}, {0, 1, 0, 1}},
        {"clock 9.5 rounds up to 10", 0.5f, 10, {18, 1}, {0, 1}},
        {"double time scale", 2.0f, 10, {25}, {5}},
        {"zero time scale", 0.0f, 10, {1000}, {0}},
        {"negative time scale holds the time at 0", -1.0f, 10, {1000}, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto local = makeRef<TimerScheduler>();
        local->setTimeScale(c.timeScale);
        Probe* probe = addProbe("t", c.period, local.get());
        for (size_t i = 0; i < c.updates.size(); ++i) {
            const int before = probe->calls;
            sendUpdate(*local, c.updates[i]);
            EXPECT_EQ(probe->calls - before, c.callsPerUpdate[i]) << "update " << i;
        }
        EXPECT_EQ(probe->periods, std::vector<uint32_t>(probe->calls, c.period)) << "called with its period";
        local->removeTimer(probe);
    }
}

TEST_F(TimerSchedulerTest, FirstFiringTimeIsTheClockTruncatedPlusThePeriod) {
    scheduler->setTimeScale(0.6f);
    sendUpdate(*scheduler, 16);  // clock 9.6
    Probe* probe = addProbe("t", 10);  // first firing at 19
    scheduler->setTimeScale(1.0f);
    sendUpdate(*scheduler, 8);  // 17.6 rounds to 18
    EXPECT_EQ(probe->calls, 0);
    sendUpdate(*scheduler, 1);  // 18.6 rounds to 19
    EXPECT_EQ(probe->calls, 1);
}

TEST_F(TimerSchedulerTest, ClockKeepsAdvancingAfterManyHours) {
    const uint32_t hourMs = 3600u * 1000u;
    for (uint32_t startHours : {0u, 20u, 80u, 1000u, 2000u}) {
        SCOPED_TRACE(testing::Message() << startHours << " hours");
        auto local = makeRef<TimerScheduler>();
        for (uint32_t left = startHours; left > 0;) {
            const uint32_t hours = left < 1000u ? left : 1000u;
            sendUpdate(*local, hours * hourMs);
            left -= hours;
        }
        Probe* everyStep = addProbe("step", 10, local.get());
        Probe* everySecond = addProbe("second", 1000, local.get());
        for (int i = 0; i < 60 * 100; ++i) sendUpdate(*local, 10);
        EXPECT_EQ(everyStep->calls, 6000);
        EXPECT_EQ(everySecond->calls, 60);
        local->removeTimer(everyStep);
        local->removeTimer(everySecond);
        journal.clear();
    }
}

TEST_F(TimerSchedulerTest, TenMillisecondStepsStayExactOverADayOfPlay) {
    Probe* everyMinute = addProbe("minute", 60u * 1000u);
    const int steps = 26 * 3600 * 100;  // 26 hours of 10 ms steps
    for (int i = 0; i < steps; ++i) scheduler->update(10);
    EXPECT_EQ(everyMinute->calls, 26 * 60);
    Probe* everyStep = addProbe("step", 10);
    for (int i = 0; i < 1000; ++i) scheduler->update(10);
    EXPECT_EQ(everyStep->calls, 1000);
}

// ---- Order of firing -----------------------------------------------------

TEST_F(TimerSchedulerTest, FiresInArrayOrderAndRemovalMovesTheLastTimer) {
    addProbe("A", 10);
    Probe* b = addProbe("B", 10);
    addProbe("C", 10);
    addProbe("D", 10);
    scheduler->removeTimer(b);
    EXPECT_EQ(b->getTimerScheduler(), nullptr);
    EXPECT_EQ(b->getRefCount(), 1) << "an immediate removal releases the scheduler's reference";
    sendUpdate(*scheduler, 10);
    EXPECT_EQ(takeJournal(), (Names{"A", "D", "C"}));
}

TEST_F(TimerSchedulerTest, EachTimerMakesAllItsCatchUpCallsBeforeTheNext) {
    addProbe("A", 10);
    addProbe("B", 5);
    sendUpdate(*scheduler, 20);
    EXPECT_EQ(takeJournal(), (Names{"A", "A", "B", "B", "B", "B"}));
}

// ---- Results and period changes inside a call ----------------------------

TEST_F(TimerSchedulerTest, FalseDropsTheTimerEvenWithMorePeriodsDue) {
    Probe* a = addProbe("A", 10);
    a->action = [](Probe&) { return false; };
    sendUpdate(*scheduler, 50);
    EXPECT_EQ(a->calls, 1);
    EXPECT_EQ(a->getTimerScheduler(), nullptr);
    EXPECT_EQ(a->getRefCount(), 1) << "released at the end of the update";
    sendUpdate(*scheduler, 50);
    EXPECT_EQ(a->calls, 1);
}

struct PeriodChangeCase {
    const char* name;
    uint32_t initial;
    uint32_t changedTo;
    std::vector<uint32_t> updates;
    std::vector<uint32_t> expectedPeriods;
};

TEST_F(TimerSchedulerTest, PeriodChangedInsideTheCallTakesEffectAtOnce) {
    const std::vector<PeriodChangeCase> cases = {
        // Firing times 10, 40, 70, 100; next 130.
        {"longer", 10, 30, {100, 29, 1}, {10, 30, 30, 30, 30}},
        // Firing times 10, 15, 20, 25, 30.
        {"shorter", 10, 5, {30}, {10, 5, 5, 5, 5}},
        // A zero period never moves the firing time: one call per update, no endless catch-up.
        {"to zero", 10, 0, {100, 100}, {10, 0}},
        // Added at clock 0 with period 0, so first due at once; then every 10.
        {"from zero", 0, 10, {5, 4, 1}, {0, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto local = makeRef<TimerScheduler>();
        Probe* probe = addProbe("t", c.initial, local.get());
        const uint32_t changedTo = c.changedTo;
        probe->action = [changedTo](Probe& self) {
            self.setPeriod(changedTo);
            return true;
        };
        for (uint32_t ms : c.updates) sendUpdate(*local, ms);
        EXPECT_EQ(probe->periods, c.expectedPeriods);
        local->removeTimer(probe);
    }
}

// ---- Additions and removals during an update -----------------------------

TEST_F(TimerSchedulerTest, TimerAddedDuringAnUpdateWaitsForTheNextAndComesLast) {
    Probe* a = addProbe("A", 10);
    addProbe("B", 10);
    Probe* added = nullptr;
    a->action = [&](Probe&) {
        if (!added) added = addProbe("N", 10);  // clock 10: first firing at 20
        return true;
    };
    sendUpdate(*scheduler, 10);
    EXPECT_EQ(takeJournal(), (Names{"A", "B"}));
    EXPECT_EQ(added->getTimerScheduler(), scheduler.get());
    sendUpdate(*scheduler, 10);
    EXPECT_EQ(takeJournal(), (Names{"A", "B", "N"}));
}

TEST_F(TimerSchedulerTest, TimerRemovedDuringAnUpdateIsNotCalledAgain) {
    Probe* a = addProbe("A", 10);
    addProbe("B", 10);
    Probe* c = addProbe("C", 10);
    a->action = [&](Probe&) {
        scheduler->removeTimer(c);
        return true;
    };
    sendUpdate(*scheduler, 10);
    EXPECT_EQ(takeJournal(), (Names{"A", "B"}));
    EXPECT_EQ(c->getTimerScheduler(), nullptr);
    EXPECT_EQ(c->getRefCount(), 1) << "the scheduler's reference goes at the end of the update";
    sendUpdate(*scheduler, 10);
    EXPECT_EQ(takeJournal(), (Names{"A", "B"}));
}

TEST_F(TimerSchedulerTest, TimerRemovingItselfGetsNoFurtherCatchUpCalls) {
    Probe* a = addProbe("A", 10);
    addProbe("B", 10);
    a->action = [&](Probe& self) {
        scheduler->removeTimer(&self);
        return true;
    };
    sendUpdate(*scheduler, 30);
    EXPECT_EQ(takeJournal(), (Names{"A", "B", "B", "B"}));
    EXPECT_EQ(a->getTimerScheduler(), nullptr);
    EXPECT_EQ(a->getRefCount(), 1);
    sendUpdate(*scheduler, 30);
    EXPECT_EQ(a->calls, 1);
}

TEST_F(TimerSchedulerTest, TimerHeldOnlyByTheSchedulerSurvivesRemovingItself) {
    Probe* a = addOrphan("A", 10);
    a->action = [&](Probe& self) {
        self.setTimerScheduler(nullptr);
        return true;
    };
    sendUpdate(*scheduler, 30);
    EXPECT_EQ(takeJournal(), (Names{"A"}));
    EXPECT_EQ(deaths, (Names{"A"})) << "destroyed by the clean-up after its call";
}

TEST_F(TimerSchedulerTest, RemovedAndReAddedInOneUpdateKeepsItsEntry) {
    Probe* a = addProbe("A", 10);
    Probe* b = addProbe("B", 30);  // first firing at 30
    a->action = [&](Probe&) {
        if (a->calls == 0) {
            scheduler->removeTimer(b);
            scheduler->addTimer(b);
        }
        return true;
    };
    sendUpdate(*scheduler, 10);
    EXPECT_EQ(b->getTimerScheduler(), scheduler.get());
    EXPECT_EQ(b->getRefCount(), 2) << "no second reference";
    sendUpdate(*scheduler, 20);  // clock 30: B's old firing time, not 10 + 30
    EXPECT_EQ(b->calls, 1);
    sendUpdate(*scheduler, 30);
    EXPECT_EQ(b->calls, 2) << "a single entry";
}

TEST_F(TimerSchedulerTest, AddedAndRemovedInOneUpdateIsNeverCalled) {
    Probe* a = addProbe("A", 10);
    Probe* x = nullptr;
    a->action = [&](Probe&) {
        if (!x) {
            x = addProbe("X", 0);
            scheduler->removeTimer(x);
        }
        return true;
    };
    sendUpdate(*scheduler, 10);
    EXPECT_EQ(x->getTimerScheduler(), nullptr);
    EXPECT_EQ(x->getRefCount(), 2) << "merged, still held until the next clean-up";
    scheduler->setEnabled(false);
    sendUpdate(*scheduler, 10);
    EXPECT_EQ(x->getRefCount(), 1) << "a disabled scheduler still discards it";
    scheduler->setEnabled(true);
    sendUpdate(*scheduler, 10);
    EXPECT_EQ(x->calls, 0);
}

// ---- Lifetime: timers the scheduler alone holds, owners dropped in a call ---

TEST_F(TimerSchedulerTest, TimerOnlyTheSchedulerHoldsIsCalledThenDestroyed) {
    addOrphan("O", 10);
    Probe* kept = addProbe("K", 10);
    sendUpdate(*scheduler, 20);
    EXPECT_EQ(takeJournal(), (Names{"O", "O", "K", "K"}));
    EXPECT_EQ(deaths, (Names{"O"}));
    EXPECT_EQ(kept->getRefCount(), 2);
}

TEST_F(TimerSchedulerTest, TimerDroppingTheLastOutsideReferenceToItselfLivesOutTheUpdate) {
    Probe* a = addProbe("A", 10);
    a->action = [&](Probe& self) {
        if (self.calls == 0) dropProbe(&self);  // the scheduler now holds the last reference
        return true;
    };
    sendUpdate(*scheduler, 30);
    EXPECT_EQ(takeJournal(), (Names{"A", "A", "A"})) << "still registered for its catch-up";
    EXPECT_EQ(deaths, (Names{"A"}));
}

// An owner in the shape of a scene: it holds the scheduler its actors tick on
// and the actors themselves; its last reference is dropped by an actor's call.
struct Owner : virtual RefCounted {
    ~Owner() override {
        deaths->push_back("owner");
        for (auto& actor : actors) {
            if (actorsLeaveScheduler) actor->setTimerScheduler(nullptr);
        }
    }
    std::vector<std::string>* deaths = nullptr;
    bool actorsLeaveScheduler = false;
    CountedRef<TimerScheduler> scheduler;
    std::vector<CountedRef<Probe>> actors;
};

TEST_F(TimerSchedulerTest, TimerDroppingTheLastReferenceToItsOwnerInsideItsCall) {
    struct Case {
        const char* name;
        bool actorsLeaveScheduler;
        Names calls;
        Names deaths;
    };
    const std::vector<Case> cases = {
        // The actors are still registered: B is called in this update, as any
        // timer only the scheduler holds, and both go at the clean-up.
        {"actors stay registered", false, {"A", "B"}, {"owner", "A", "B", "scheduler"}},
        // The owner takes them out: B is not called again.
        {"actors leave the scheduler", true, {"A"}, {"owner", "A", "B", "scheduler"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Names localDeaths;
        CountedRef<Owner> owner = makeRef<Owner>();
        owner->deaths = &localDeaths;
        owner->actorsLeaveScheduler = c.actorsLeaveScheduler;
        owner->scheduler.reset(new TrackedScheduler(&localDeaths));
        for (const char* name : {"A", "B"}) {
            owner->actors.push_back(makeRef<Probe>(&journal, name, 10));
            owner->actors.back()->deaths = &localDeaths;
            owner->scheduler->addTimer(owner->actors.back().get());
        }
        Probe* a = owner->actors[0].get();
        a->action = [&owner, &localDeaths](Probe&) {
            owner.reset();
            EXPECT_EQ(localDeaths, Names{"owner"}) << "the timer and its scheduler outlive the call";
            return true;
        };
        TimerScheduler* ticking = owner->scheduler.get();
        sendUpdate(*ticking, 10);
        EXPECT_EQ(takeJournal(), c.calls);
        EXPECT_EQ(localDeaths, c.deaths);
    }
}

// ---- Moving between schedulers -------------------------------------------

TEST_F(TimerSchedulerTest, SetTimerSchedulerMovesTheTimer) {
    auto other = makeRef<TimerScheduler>();
    Probe* a = addProbe("A", 10);

    sendUpdate(*scheduler, 5);
    a->setTimerScheduler(scheduler.get());  // same scheduler: keeps its firing time
    sendUpdate(*scheduler, 5);
    EXPECT_EQ(a->calls, 1);

    a->setTimerScheduler(other.get());
    EXPECT_EQ(a->getTimerScheduler(), other.get());
    EXPECT_EQ(a->getRefCount(), 2);
    sendUpdate(*scheduler, 10);
    sendUpdate(*other, 10);
    EXPECT_EQ(a->calls, 2) << "called by the new scheduler only";

    a->setTimerScheduler(nullptr);
    EXPECT_EQ(a->getTimerScheduler(), nullptr);
    EXPECT_EQ(a->getRefCount(), 1);
}

TEST_F(TimerSchedulerTest, MovingATimerOnlyTheOldSchedulerHoldsKeepsItAlive) {
    auto other = makeRef<TimerScheduler>();
    Probe* a = addOrphan("A", 10);
    a->setTimerScheduler(other.get());
    EXPECT_TRUE(deaths.empty());
    EXPECT_EQ(a->getTimerScheduler(), other.get());
    sendUpdate(*other, 10);
    EXPECT_EQ(takeJournal(), (Names{"A"}));
    EXPECT_EQ(deaths, (Names{"A"}));
}

TEST_F(TimerSchedulerTest, TimerMovedInsideItsCallLeavesTheOldScheduler) {
    auto other = makeRef<TimerScheduler>();
    Probe* a = addProbe("A", 10);
    a->action = [&](Probe& self) {
        self.setTimerScheduler(other.get());
        return true;
    };
    sendUpdate(*scheduler, 30);
    EXPECT_EQ(a->calls, 1);
    EXPECT_EQ(a->getTimerScheduler(), other.get());
    EXPECT_EQ(a->getRefCount(), 2) << "the old scheduler let go of it";
    a->action = nullptr;
    sendUpdate(*scheduler, 30);
    EXPECT_EQ(a->calls, 1);
    sendUpdate(*other, 10);  // added at the other's clock 0
    EXPECT_EQ(a->calls, 2);
}

// ---- Enabled flag --------------------------------------------------------

TEST_F(TimerSchedulerTest, DisabledSchedulerHoldsItsClockAndCallsNothing) {
    Probe* a = addProbe("A", 10);
    addOrphan("O", 10);
    scheduler->setEnabled(false);
    EXPECT_FALSE(scheduler->isEnabled());
    sendUpdate(*scheduler, 100);
    EXPECT_TRUE(takeJournal().empty());
    EXPECT_EQ(deaths, (Names{"O"})) << "timers only the scheduler holds are still discarded";

    scheduler->setEnabled(true);
    sendUpdate(*scheduler, 9);
    EXPECT_EQ(a->calls, 0) << "the clock stood still while disabled";
    sendUpdate(*scheduler, 1);
    EXPECT_EQ(a->calls, 1);
}

TEST_F(TimerSchedulerTest, DisabledSchedulerStillMergesTimersAddedInTheLastCall) {
    Probe* a = addProbe("A", 10);
    Probe* added = nullptr;
    a->action = [&](Probe&) {
        if (!added) {
            scheduler->setEnabled(false);
            added = addProbe("N", 10);  // first firing at 20
        }
        return true;
    };
    sendUpdate(*scheduler, 10);
    sendUpdate(*scheduler, 10);
    EXPECT_EQ(takeJournal(), (Names{"A"}));
    EXPECT_EQ(added->getRefCount(), 2);
    scheduler->setEnabled(true);
    sendUpdate(*scheduler, 10);
    EXPECT_EQ(takeJournal(), (Names{"A", "N"}));
}

// ---- Registration basics, events and destruction -------------------------

TEST_F(TimerSchedulerTest, RegistrationEdgeCases) {
    scheduler->addTimer(nullptr);
    scheduler->removeTimer(nullptr);

    auto absent = makeRef<Probe>(&journal, "X", 10);
    scheduler->removeTimer(absent.get());
    EXPECT_EQ(absent->getTimerScheduler(), nullptr);
    EXPECT_EQ(absent->getRefCount(), 1) << "nothing to release";

    Probe* twice = addProbe("T", 10);
    scheduler->addTimer(twice);
    EXPECT_EQ(twice->getRefCount(), 3) << "two entries, two references";
    sendUpdate(*scheduler, 10);
    EXPECT_EQ(twice->calls, 2);
}

TEST_F(TimerSchedulerTest, TakesUpdateEventsThroughItsReceiverInterface) {
    EXPECT_EQ(scheduler->getMask(), EventCategory::System);
    EXPECT_TRUE(scheduler->isEnabled());
    EXPECT_EQ(scheduler->getTimeScale(), 1.0f);
    scheduler->setTimeScale(-3.5f);
    EXPECT_EQ(scheduler->getTimeScale(), -3.5f) << "no value is refused";
    scheduler->setTimeScale(1.0f);

    Probe* a = addProbe("A", 0);
    CountedRef<RenderEvent> render(new RenderEvent());
    EXPECT_FALSE(scheduler->handleEvent(render.get()));
    EXPECT_EQ(a->calls, 0);
    EXPECT_FALSE(scheduler->deliver(DeliveryMode::HandleOnly, CountedRef<UpdateEvent>(new UpdateEvent(5)).get()));
    EXPECT_EQ(a->calls, 1);
    EXPECT_FALSE(scheduler->onEvent13(nullptr));
}

TEST_F(TimerSchedulerTest, DestructionReleasesEveryTimer) {
    Probe* kept = addProbe("K", 10);
    addOrphan("O", 10);
    EXPECT_EQ(kept->getRefCount(), 2);
    scheduler.reset();
    EXPECT_EQ(deaths, (Names{"O"}));
    EXPECT_EQ(kept->getTimerScheduler(), nullptr);
    EXPECT_EQ(kept->getRefCount(), 1);
}

TEST_F(TimerSchedulerTest, RemovingAllTimersReleasesThemAndTheSchedulerStaysUsable) {
    Probe* kept = addProbe("K", 10);
    addOrphan("O", 10);
    scheduler->removeAllTimers();
    EXPECT_EQ(deaths, (Names{"O"}));
    EXPECT_EQ(kept->getTimerScheduler(), nullptr);
    EXPECT_EQ(kept->getRefCount(), 1);
    sendUpdate(*scheduler, 10);
    EXPECT_TRUE(takeJournal().empty());
    scheduler->addTimer(kept);
    sendUpdate(*scheduler, 10);
    EXPECT_EQ(takeJournal(), (Names{"K"}));
}

TEST_F(TimerSchedulerTest, RemovingAllTimersInsideACallLetsTheCallerFinish) {
    // The caller is held by the scheduler alone, and a later timer is due too.
    Probe* caller = addOrphan("C", 10);
    Probe* later = addProbe("L", 10);
    caller->action = [&](Probe&) {
        scheduler->removeAllTimers();
        return true;
    };
    sendUpdate(*scheduler, 20);
    EXPECT_EQ(takeJournal(), (Names{"C"})) << "no catch-up call, and the later timer is skipped";
    EXPECT_EQ(deaths, (Names{"C"})) << "released when the update ended";
    EXPECT_EQ(later->getTimerScheduler(), nullptr);
    EXPECT_EQ(later->getRefCount(), 1);
}

TEST_F(TimerSchedulerTest, CopiedTimerIsNotRegistered) {
    Probe* a = addProbe("A", 25);
    auto copy = makeRef<Probe>(*a);
    EXPECT_EQ(copy->getPeriod(), 25u);
    EXPECT_EQ(copy->getTimerScheduler(), nullptr);
    EXPECT_EQ(copy->getRefCount(), 1);
    copy->deaths = nullptr;
}

}  // namespace
