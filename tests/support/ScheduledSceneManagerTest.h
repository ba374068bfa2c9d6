#pragma once
// A fixture with a scene manager on a timer scheduler of its own, as the
// game's managers are. Tear-down takes the scenes off and lets the manager
// deliver what that posted before the scheduler goes.
#include "engine/core/SceneManager.h"
#include "engine/core/TimerScheduler.h"

#include <gtest/gtest.h>

namespace testing_support {

class ScheduledSceneManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager = engine::CountedRef<engine::SceneManager>(new engine::SceneManager(nullptr, nullptr, nullptr));
        scheduler = engine::CountedRef<engine::TimerScheduler>(new engine::TimerScheduler());
        manager->setTimerScheduler(scheduler.get());
    }
    void TearDown() override {
        manager->setScene(nullptr);
        settle();
        manager->setTimerScheduler(nullptr);
    }
    // Opening transitions end at once (the scenes have no states); the
    // manager delivers the end on its next call.
    void settle() { manager->onTimer(0); }

    engine::CountedRef<engine::SceneManager> manager;
    engine::CountedRef<engine::TimerScheduler> scheduler;
};

}  // namespace testing_support
